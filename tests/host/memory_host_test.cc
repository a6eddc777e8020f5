#include "host/memory_host.h"

#include <gtest/gtest.h>

#include "data/recordset.h"

namespace qv {
namespace {

TEST(MemoryRequestTest, CollectionsJoinRepeatedNamesAndKeepArrivalOrder) {
  MemoryRequest r;
  r.SetQueryString("id=3&Tag=a+b&tag=c%26d&flag");
  r.AddForm("qvFLD_List", "dbTitle_e");
  r.AddForm("qvfld_list", "dbGroup");
  r.AddCookie("id", "cookie");
  r.SetServerVariable("SCRIPT_NAME", "/book.lp");

  EXPECT_EQ(r.QueryStringAll(), "id=3&Tag=a+b&tag=c%26d&flag");
  EXPECT_EQ(r.QueryString("TAG"), "a b, c&d");
  EXPECT_EQ(r.QueryString("flag"), "");
  EXPECT_EQ(r.QueryStringKeys(), (std::vector<std::string>{"id", "Tag", "flag"}));
  EXPECT_EQ(r.Form("QVFLD_LIST"), "dbTitle_e, dbGroup");
  EXPECT_EQ(r.Item("id"), "3");  // the query string comes before cookies
  EXPECT_EQ(r.Item("script_name"), "/book.lp");
  EXPECT_EQ(r.Item("absent"), "");
}

TEST(MemoryRequestTest, RawBodyAndFormExcludeEachOther) {
  MemoryRequest upload;
  upload.SetBody("0123456789");
  upload.AddForm("f", "v");
  EXPECT_EQ(upload.TotalBytes(), 10);
  EXPECT_EQ(upload.BinaryRead(4), "0123");
  EXPECT_EQ(upload.BinaryRead(100), "456789");
  EXPECT_EQ(upload.Item("f"), "");  // the form is gone once the body was read raw
  EXPECT_THROW(upload.Form("f"), HostError);

  MemoryRequest posted;
  posted.SetBody("f=v");
  EXPECT_EQ(posted.Form("x"), "");
  EXPECT_THROW(posted.BinaryRead(3), HostError);
}

TEST(MemoryResponseTest, RedirectAndEndUnwindAndAreRecorded) {
  MemoryResponse r;
  r.Write("a");
  r.Write("b");
  EXPECT_THROW(r.Redirect("next.lp?id=2"), ResponseEnded);
  EXPECT_EQ(r.Text(), "ab");
  EXPECT_EQ(r.RedirectUrl(), "next.lp?id=2");
  EXPECT_TRUE(r.Ended());
  EXPECT_THROW(r.Redirect("x\r\nSet-Cookie: a=b"), HostError);

  MemoryResponse ended;
  EXPECT_THROW(ended.End(), ResponseEnded);
  EXPECT_TRUE(ended.Ended());
}

TEST(MemoryServerTest, MapPathResolvesAgainstRootAndScriptFolder) {
  MemoryServer server("/srv/site/", "/course");
  EXPECT_EQ(server.MapPath("/"), "/srv/site");
  EXPECT_EQ(server.MapPath("/images/"), "/srv/site/images");
  EXPECT_EQ(server.MapPath("pics/a.gif"), "/srv/site/course/pics/a.gif");
  EXPECT_EQ(server.MapPath("../media/./x"), "/srv/site/media/x");
  EXPECT_THROW(server.MapPath("/../etc/passwd"), HostError);
  EXPECT_THROW(server.MapPath("..\\..\\etc"), HostError);
}

TEST(HostContextTest, MemoryHostIsTheContextWhileItLives) {
  EXPECT_THROW(CurrentHostObjects(), HostError);
  {
    MemoryHost host;
    EXPECT_EQ(CurrentHostObjects().response, &host.response);
    EXPECT_EQ(host.server.HTMLEncode("<a & b>"), "&lt;a &amp; b&gt;");
    EXPECT_TRUE(host.server.CreateObject("adodb.recordset").ObjectAs<Recordset>());
    EXPECT_THROW(host.server.CreateObject("Scripting.FileSystemObject"), HostError);
  }
  EXPECT_THROW(CurrentHostObjects(), HostError);
}

}  // namespace
}  // namespace qv
