#include "http/site_paths.h"

#include <gtest/gtest.h>

#include "host/host_objects.h"
#include "http/static_files.h"

namespace qv::http {
namespace {

TEST(SitePaths, MapPathHonoursTheMediaMountAndTheScriptFolder) {
  SitePaths paths("/srv/site", "/srv/data/media", "/media");
  EXPECT_EQ(paths.MapPath("/media/qvtome/x", "/default.lp"), "/srv/data/media/qvtome/x");
  EXPECT_EQ(paths.MapPath("/media", "/default.lp"), "/srv/data/media");
  EXPECT_EQ(paths.MapPath("/mediafiles/a", "/default.lp"), "/srv/site/mediafiles/a");
  EXPECT_EQ(paths.MapPath("images/", "/book/page.lp"), "/srv/site/book/images");
  EXPECT_EQ(paths.MapPath("..\\img\\a.png", "/book/page.lp"), "/srv/site/img/a.png");
  EXPECT_EQ(paths.MapPath("/", "/x.lp"), "/srv/site");
  EXPECT_EQ(paths.MapPath("/my%20files/", "/x.lp"), "/srv/site/my%20files");
  EXPECT_THROW(paths.MapPath("../../etc/passwd", "/book/page.lp"), HostError);
  EXPECT_THROW(paths.MapPath("c:/windows", "/x.lp"), HostError);
  EXPECT_THROW(paths.MapPath(std::string("a\0b", 3), "/x.lp"), HostError);
}

TEST(HttpDates, FormatAndParseRoundTrip) {
  EXPECT_EQ(HttpDate(784111777), "Sun, 06 Nov 1994 08:49:37 GMT");
  EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), 784111777);
  EXPECT_EQ(ParseHttpDate("yesterday"), -1);
}

TEST(ContentTypes, ByExtension) {
  EXPECT_EQ(ContentTypeFor("/a/b.PNG"), "image/png");
  EXPECT_EQ(ContentTypeFor("/a.b/style.css"), "text/css; charset=utf-8");
  EXPECT_EQ(ContentTypeFor("/a.b/noext"), "application/octet-stream");
}

}  // namespace
}  // namespace qv::http
