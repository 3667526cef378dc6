// The package transfer over HTTPS against nginx on loopback, with the certificate checked: the
// test prefix trusts the test authority, as a machine trusts the authorities of its store.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <wincrypt.h>

#include <cstdlib>
#include <string>

#include "DownloadServer.h"
#include "HttpFetchFixture.h"
#include "HttpFetchServerTest.h"
#include "engine/HttpFetch.h"
#include "engine/SetupContext.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace testing_support;
using namespace fetch_testing;
using ::testing::ElementsAre;

namespace {

bool TrustTestAuthority() {
  const std::string certificate = ReadFileBytes(TestAuthorityCertificatePath());
  HCERTSTORE roots = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
  if (!roots) return false;
  const bool added = !certificate.empty() &&
                     CertAddEncodedCertificateToStore(roots, X509_ASN_ENCODING,
                                                      reinterpret_cast<const BYTE*>(certificate.data()),
                                                      static_cast<DWORD>(certificate.size()),
                                                      CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  CertCloseStore(roots, 0);
  return added;
}

class HttpsFetchTest : public ServerBackedTest {
 protected:
  void SetUp() override {
    ServerBackedTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(TrustTestAuthority());
    PrepareContext(context, nullptr);
    context.m_bRunning = true;
    context.m_timings = QuickTimings();
    served = RandomBytes(2000000, 443);
    ASSERT_TRUE(WriteFileBytes(ServedPackagePath(), served));
  }
  void TearDown() override {
    _putenv("https_proxy=");
    _putenv("HTTPS_PROXY=");
    ServerBackedTest::TearDown();
  }
  int Download(TlsServer server) {
    return DownloadPackage(TlsPackageAddress(server).c_str(), context.m_szPackagePath, &context, false);
  }

  SetupContext context;
  std::string served;
};

class RefusedServer : public HttpsFetchTest, public ::testing::WithParamInterface<TlsServer> {};

}  // namespace

TEST_F(HttpsFetchTest, PackageArrivesByteIdenticalAndNoProxyOfTheEnvironmentStandsBetween) {
  // Nothing listens there: a transfer that went through it would fail.
  _putenv("https_proxy=http://127.0.0.1:9");
  _putenv("HTTPS_PROXY=http://127.0.0.1:9");
  EXPECT_EQ(Download(TlsServer::kTrusted), 0);
  EXPECT_TRUE(ReadFileBytes(context.m_szPackagePath) == served);
  EXPECT_TRUE(LogMessages().empty());
}

TEST_P(RefusedServer, TakesNothingFromItAndReportsTheCertificate) {
  EXPECT_EQ(Download(GetParam()), 60);
  EXPECT_EQ(ReadFileBytes(context.m_szPackagePath), "") << "nothing of the answer is kept";
  EXPECT_THAT(LogMessages(), ElementsAre("SSL peer certificate or SSH remote key was not OK"));
}

INSTANTIATE_TEST_SUITE_P(Certificates, RefusedServer,
                         ::testing::Values(TlsServer::kWrongName, TlsServer::kUnknownIssuer),
                         [](const ::testing::TestParamInfo<TlsServer>& info) {
                           return info.param == TlsServer::kWrongName ? "WrongName" : "UnknownIssuer";
                         });
