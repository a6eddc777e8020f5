// The member table of script/bind_class.h, through a class bound the way a
// new component class is: one file, one table, one registration.
#include <gtest/gtest.h>

#include "script/bind_class.h"
#include "script_fixture.h"

namespace qv {
namespace {

class Probe : public Object {
 public:
  // Shows which argument values arrived.
  std::string Describe(const std::string& text, int count, bool flag, const std::string& tail) {
    return text + "|" + std::to_string(count) + "|" + (flag ? "true" : "false") + "|" + tail;
  }
  // Changes both arguments; returns the new name's length.
  int Rename(std::string& name, int64_t& count) {
    name = "ID_" + name;
    ++count;
    return static_cast<int>(name.size());
  }
  void Widths(int16_t, int32_t, int /*16-bit for scripts*/, int /*a byte for scripts*/) {}
  std::shared_ptr<Probe> Twin() const { return std::make_shared<Probe>(); }
  int count = 7;
  std::string Size() const { return "method"; }
  std::string SizeProperty() const { return "property"; }
};

}  // namespace

namespace script {

template <>
struct BoundClass<Probe> {
  static constexpr const char* name = "qvTome.Probe";
};

namespace {

constexpr Member kProbeMembers[] = {
    Method<&Probe::Describe, _, 1, true, Text("end")>("Describe"),
    Method<&Probe::Rename>("Rename"),
    Method<&Probe::Widths, _, _, Short{}, Byte{}>("Widths"),
    Method<&Probe::Twin>("Twin"),
    Property<&Probe::count>("Count"),
    // A method whose name is the property's in lower case.
    Method<&Probe::Size>("size"),
    ReadOnly<&Probe::SizeProperty>("Size"),
};

const ClassRegistration kProbe = Register<Probe>(kProbeMembers, kCreatedByScripts);

}  // namespace
}  // namespace script

namespace testing {
namespace {

using BoundClassTable = ScriptTest;

TEST_F(BoundClassTable, ConstructorDefaultsReferenceResultsAndObjects) {
  EXPECT_EQ(Run("local p = qvTome.Probe()\n"
                "Response.Write(tostring(p) .. ' ' .. p:Describe('a') .. ' ' ..\n"
                "  p:Describe('b', nil, false) .. ' ' .. p:Describe('c', '3', nil, 'x'))"),
            "qvTome.Probe a|1|true|end b|1|false|end c|3|true|x");
  // The member's result first, then each by-reference argument in order.
  EXPECT_EQ(Run("local n, name, count = qvTome.Probe():Rename('x', 4)\n"
                "Response.Write(n .. ' ' .. name .. ' ' .. count)"),
            "4 ID_x 5");
  // Objects of a registered class come back as that class, also through a
  // Variant.
  EXPECT_EQ(Run("Session.Value('p', qvTome.Probe():Twin())\n"
                "Response.Write(tostring(Session.Value('p')) .. ' ' .. "
                "Session.Value('p'):Describe('d'))"),
            "qvTome.Probe d|1|true|end");
  EXPECT_NE(ErrorOf("qvTome.Probe().Describe('a')").find("expected a qvTome.Probe object"),
            std::string::npos);
}

// Members are found in any spelling; methods come before properties, also
// when only the property has the name as it is written.
TEST_F(BoundClassTable, MembersAreFoundInAnyCaseMethodsFirst) {
  EXPECT_EQ(Run("local p = qvTome.Probe()\n"
                "p.COUNT = 8\n"
                "Response.Write(p.Count .. ' ' .. p.count .. ' ' .. p:describe('a') .. ' ' ..\n"
                "  type(p.Size) .. ' ' .. p.Size(p) .. ' ' .. p:SIZE())"),
            "8 8 a|1|true|end function method method");
  EXPECT_NE(ErrorOf("local x = qvTome.Probe().Counts").find("'Counts' is not a member"),
            std::string::npos);
}

TEST_F(BoundClassTable, IntegerWidthsRefuseWhatTheyCannotHold) {
  EXPECT_EQ(Run("local p = qvTome.Probe()\n"
                "p:Widths(-32768, -2147483648, -32768, 0) p:Widths(32767, 2147483647, 32767, 255)"),
            "");
  for (const char* call :
       {"32768", "0, 2147483648", "0, 0, -32769", "0, 0, 0, 256", "0, 0, 0, -1"}) {
    const std::string error = ErrorOf(std::string("qvTome.Probe():Widths(") + call + ")");
    EXPECT_NE(error.find("Overflow: "), std::string::npos) << call << ": " << error;
  }
}

}  // namespace
}  // namespace testing
}  // namespace qv
