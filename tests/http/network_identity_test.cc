#include "http/network_identity.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "http/password_hash.h"

namespace qv::http {
namespace {

namespace fs = std::filesystem;

TEST(Base64, DecodesPaddingAndRejectsOtherBytes) {
  std::string out;
  EXPECT_TRUE(DecodeBase64("YQ==", out));
  EXPECT_EQ(out, "a");
  EXPECT_FALSE(DecodeBase64("Y*Q=", out));
}

TEST(PasswordHashes, AreSaltedYescryptAndVerifyOnlyTheirPassword) {
  std::string hash = HashPassword("secret");
  EXPECT_EQ(hash.rfind("$y$", 0), 0u) << hash;
  EXPECT_NE(HashPassword("secret"), hash);  // a fresh salt each time
  EXPECT_EQ(WhyHashRefused(hash), "");
  EXPECT_TRUE(VerifyPassword("secret", hash));
  EXPECT_FALSE(VerifyPassword("Secret", hash));
  EXPECT_FALSE(VerifyPassword(std::string("secret\0x", 8), hash));
  EXPECT_THROW(HashPassword(""), std::invalid_argument);
  EXPECT_THROW(HashPassword(std::string("a\0b", 3)), std::invalid_argument);
}

TEST(PasswordHashes, UnsaltedAndWeakHashesAreRefused) {
  EXPECT_EQ(WhyHashRefused("2bb80d537b1da3e38bd30361aa855686bde0eacd7162fef6a25fe97bf527a25b"),
            "an unsalted SHA-256 digest");
  EXPECT_EQ(WhyHashRefused("$1$clyd/vHz$9MJAT0Iy7MPaeoVp5ZPIU/"),
            "a crypt(3) hash of a weak method");
  EXPECT_EQ(WhyHashRefused("abJnggxhB/yWI"), "not a crypt(3) hash");  // DES
  EXPECT_EQ(WhyHashRefused(""), "not a crypt(3) hash");
  EXPECT_EQ(WhyHashRefused("$zz$x"), "not a crypt(3) hash this system knows");
}

// A password file read by a real NetworkIdentity, with its error log in a
// scratch data folder.
class BasicPasswordFile : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = fs::temp_directory_path() / ("qvtome_identity_test_" + std::to_string(::getpid()));
    fs::create_directories(data_);
    std::ofstream(data_ / "passwd")
        << "# users\n\nalice:" << HashPassword("secret") << "\n"
        << "bob:2bb80d537b1da3e38bd30361aa855686bde0eacd7162fef6a25fe97bf527a25b\n";
    config_.data_dir = data_.string();
    config_.basic_auth_file = "passwd";
  }
  void TearDown() override { fs::remove_all(data_); }

  static std::string UserOf(const NetworkIdentity& identity, const std::string& credentials) {
    IncomingRequest request;
    request.peer_address = "127.0.0.1";
    request.headers.emplace_back("Authorization", "Basic " + credentials);
    return identity.Identify(request).auth_user;
  }

  std::string ErrorLog() const {
    std::ifstream in(data_ / "logs" / "error.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path data_;
  ServerConfig config_;
};

TEST_F(BasicPasswordFile, RightPasswordIsAcceptedAndWrongOneRefused) {
  ServerLogs logs(data_.string(), true);
  NetworkIdentity identity(config_, logs);
  EXPECT_EQ(UserOf(identity, "YWxpY2U6c2VjcmV0"), "alice");  // alice:secret
  EXPECT_EQ(UserOf(identity, "YWxpY2U6c2VjcmV0"), "alice");  // again, from memory
  EXPECT_EQ(UserOf(identity, "YWxpY2U6d3Jvbmc="), "");       // alice:wrong
  EXPECT_EQ(UserOf(identity, "Y2Fyb2w6c2VjcmV0"), "");       // carol:secret, no such user
}

TEST_F(BasicPasswordFile, OldSha256LineGivesNoAccessAndIsLogged) {
  ServerLogs logs(data_.string(), true);
  NetworkIdentity identity(config_, logs);
  EXPECT_EQ(UserOf(identity, "Ym9iOnNlY3JldA=="), "");  // bob:secret
  std::string log = ErrorLog();
  EXPECT_NE(log.find("Password file " + (data_ / "passwd").string() +
                     ", line 4: the entry of bob is an unsalted SHA-256 digest and is ignored; "
                     "make a new line with: qvtome hash-password bob"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("alice"), std::string::npos);
}

}  // namespace
}  // namespace qv::http
