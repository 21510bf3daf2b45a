// The libcurl that the Windows program links: the 7.88 series, static, with
// the system's own TLS (Schannel) and no other TLS library.
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CurlBuild, IsTheSchannelBuildOfTheRightSeries) {
  const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->version_num >> 8, 0x0758u) << info->version;  // 7.88.x
  ASSERT_NE(info->ssl_version, nullptr);
  EXPECT_EQ(std::string(info->ssl_version).rfind("Schannel", 0), 0u) << info->ssl_version;
  EXPECT_NE(info->features & CURL_VERSION_SSL, 0);
  bool speaksHttps = false;
  for (const char* const* protocol = info->protocols; *protocol != nullptr; ++protocol)
    speaksHttps = speaksHttps || std::string(*protocol) == "https";
  EXPECT_TRUE(speaksHttps);
}

TEST(CurlBuild, EasyHandleSetsTheOptionsOfADownload) {
  ASSERT_EQ(curl_global_init(CURL_GLOBAL_DEFAULT), CURLE_OK);
  CURL* easy = curl_easy_init();
  ASSERT_NE(easy, nullptr);
  EXPECT_EQ(curl_easy_setopt(easy, CURLOPT_URL, "http://127.0.0.1:9/none.crl"), CURLE_OK);
  EXPECT_EQ(curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 1L), CURLE_OK);
  EXPECT_EQ(curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L), CURLE_OK);
  // Nothing listens on the discard port: the transfer fails with a text.
  const CURLcode result = curl_easy_perform(easy);
  EXPECT_NE(result, CURLE_OK);
  EXPECT_STRNE(curl_easy_strerror(result), "");
  curl_easy_cleanup(easy);
  curl_global_cleanup();
}

}  // namespace
