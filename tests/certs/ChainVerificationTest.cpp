// Chain verification against the test PKI, with the CRLs served on the
// loopback port of the certificates' distribution points; and the status
// message table.

#include <gtest/gtest.h>

#include "certs/CryptCertificate.h"
#include "certs/StatusMessage.h"
#include "foundation/platform/Platform.h"
#include "testing/pki/LoopbackHttpServer.h"
#include "tests/certs/TestPki.h"

using namespace varnok;

namespace {

constexpr std::int32_t Hresult(std::uint32_t value) { return static_cast<std::int32_t>(value); }

class ChainVerification : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test_pki::ServeCrls(server_)) << "port " << test_pki::Port() << " is taken";
    intermediates_.Add("inter");
  }
  void TearDown() override { test_pki::ClearUrlCache(); }

  void TrustRoot() { ASSERT_TRUE(installed_.Install(L"ROOT", "root")); }

  VerificationResult Verify(const std::string& name) {
    certificate_ = test_pki::Certificate(name);
    subject_ = std::make_unique<CryptCertificate>(certificate_.get());
    return subject_->VerifyChain(intermediates_.Get());
  }

  LoopbackHttpServer server_{test_pki::Port()};
  test_pki::InstalledCertificates installed_;
  test_pki::MemoryStore intermediates_;
  CertificateReference certificate_;
  std::unique_ptr<CryptCertificate> subject_;
};

}  // namespace

TEST_F(ChainVerification, ValidCertificateUnderATrustedRoot) {
  TrustRoot();
  const VerificationResult result = Verify("valid");
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.message, L"Сертификатът е валиден.");
  ASSERT_NE(subject_->Chain(), nullptr);
  EXPECT_EQ(subject_->Chain()->rgpChain[0]->cElement, 3u);
  // The engine fetched the CRLs of the leaf and of the intermediate, not of
  // the root.
  EXPECT_GE(server_.RequestsFor("/inter.crl"), 1);
  EXPECT_GE(server_.RequestsFor("/root.crl"), 1);
}

TEST_F(ChainVerification, UntrustedRoot) {
  // The root is at hand, but not in the "ROOT" store.
  intermediates_.Add("root");
  const VerificationResult result = Verify("valid");
  EXPECT_EQ(result.code, Hresult(0x800B0109));
  EXPECT_EQ(result.message, StatusMessage(0x800B0109));
}

TEST_F(ChainVerification, ExpiredCertificate) {
  TrustRoot();
  const VerificationResult result = Verify("expired");
  EXPECT_EQ(result.code, Hresult(0x800B0101));
  EXPECT_EQ(result.message, L"Изискваният сертификат не е в рамките на неговия срок на валидност.");
}

TEST_F(ChainVerification, RevokedCertificateIsMarkedInTheChain) {
  TrustRoot();
  const VerificationResult result = Verify("revoked-key-compromise");
  ASSERT_NE(subject_->Chain(), nullptr);
  EXPECT_TRUE(subject_->Chain()->rgpChain[0]->rgpElement[0]->TrustStatus.dwErrorStatus &
              CERT_TRUST_IS_REVOKED);
  if (rozazar::platform::runningUnderWine()) {
    GTEST_SKIP() << "Wine's base chain policy checks no revocation bits (gives 0); "
                    "only Windows reports 0x80092010 here";
  }
  EXPECT_EQ(result.code, Hresult(0x80092010));
  EXPECT_EQ(result.message, L"Сертификатът или подписът са отменени.");
}

TEST_F(ChainVerification, PartialChainIsReported) {
  if (rozazar::platform::runningUnderWine()) {
    GTEST_SKIP() << "Wine's base chain policy does not report partial chains (gives 0); "
                    "only Windows reports 0x800B010A";
  }
  TrustRoot();
  certificate_ = test_pki::Certificate("valid");
  subject_ = std::make_unique<CryptCertificate>(certificate_.get());
  const VerificationResult result = subject_->VerifyChain(nullptr);
  EXPECT_EQ(result.code, Hresult(0x800B010A));
}

TEST_F(ChainVerification, ASecondVerificationReplacesTheChain) {
  TrustRoot();
  ASSERT_EQ(Verify("valid").code, 0);
  PCCERT_CHAIN_CONTEXT first = subject_->Chain();
  // Keep the first chain alive ourselves, so that its address cannot be
  // reused by the second one.
  PCCERT_CHAIN_CONTEXT held = CertDuplicateCertificateChain(first);
  EXPECT_EQ(subject_->VerifyChain(intermediates_.Get()).code, 0);
  EXPECT_NE(subject_->Chain(), nullptr);
  EXPECT_NE(subject_->Chain(), first);
  CertFreeCertificateChain(held);
}

TEST(StatusMessage, EveryRowOfTheTable) {
  const std::pair<std::uint32_t, const wchar_t*> rows[] = {
      {0x0, L"Сертификатът е валиден."},
      {0x1,
       L"Периодът на валидност на този сертификат или някой от сертификатите в "
       L"сертификационната верига е невалиден."},
      {0x2, L"Сертификатите в сертификационната верига не са правилно издадени."},
      {0x4,
       L"Доверието в този сертификат или някой от сертификатите в сертификационната верига е "
       L"отменено."},
      {0x8,
       L"Подписът на този сертификат или някой от сертификатите в сертификационната верига е "
       L"невалиден."},
      {0x10,
       L"Сертификатът или сертификационната верига не могат да се използват за предложената "
       L"употреба."},
      {0x20,
       L"Сертификатът или сертификационната верига са базирани на не доверен главен сертификат."},
      {0x40,
       L"Този сертификат или някой от сертификатите в сертификационната верига не може да бъде "
       L"проверен за анулиране."},
      {0x80, L"Циклично сертифициране."},
      {0x10000, L"Сертификационната верига не е пълна."},
      {0x20000, L"A CTL used to create this chain was not time-valid."},
      {0x40000, L"A CTL used to create this chain did not have a valid signature."},
      {0x80000, L"A CTL used to create this chain is not valid for this usage."},
      {0x80091007, L"Хеш стойността не е правилна."},
      {0x80092001, L"Дължината, определена за изходните данни, е недостатъчна."},
      {0x80092002, L"Възникна грешка по време на кодиране или декодиране."},
      {0x80092010, L"Сертификатът или подписът са отменени."},
      {0x80092012, L"Функцията за анулиране не успя да провери отмяната на сертификата."},
      {0x80092013,
       L"Функцията за анулиране не успя да провери отмяната, тъй като сървърът за анулиране е "
       L"офлайн."},
      {0x80096001, L"Възникна грешка на ниво операционна система при потвърждаване на доверието."},
      {0x80096002, L"Сертификатът за подписващия съобщението не е валиден или не е намерен."},
      {0x80096003, L"Един от контрагентите не беше валиден."},
      {0x80096004, L"Подписа на сертификата не може да бъде проверен."},
      {0x80096005,
       L"Подписът на сертификата или сертификатът не може да бъде потвърден или неправилно "
       L"формулиран."},
      {0x80096010, L"Цифровият подпис на обекта не се потвърди."},
      {0x80096019, L"Основните ограничения на сертификата не са валидни или липсват."},
      {0x8009601E, L"Сертификатът не отговаря или не съдържа финансовите разширения."},
      {0x800B0101, L"Изискваният сертификат не е в рамките на неговия срок на валидност."},
      {0x800B0102, L"Периодите на валидност на веригата за сертифициране не се вместват правилно."},
      {0x800B0104, L"Ограничението на дължината на пътя в веригата за сертифициране е нарушено."},
      {0x800B0106,
       L"Сертификатът се използва за цел, различна от целта, определена от неговия издател."},
      {0x800B0107, L"Родителят на даден сертификат всъщност не е издал този сертификат."},
      {0x800B0108,
       L"Липсва сертификат или има празна стойност за важно поле, например име на субект или "
       L"издател."},
      {0x800B0109,
       L"Веригата за сертифициране е обработена правилно, но е прекратена в сертификат за "
       L"корен, който не е надежден от доставчика на доверието."},
      {0x800B010A, L"Веригата от сертификати не бе създадена правилно."},
      {0x800B010D,
       L"Коренният сертификат е сертификат за тестване и настройките на правилата забраняват "
       L"тестовите сертификати."},
      {0x800B0110, L"Сертификатът не е валиден за исканата употреба."},
      {0x800B0111, L"Сертификатът бе категорично означен като неверен от потребителя."},
      {0x800B0112,
       L"Веригата за сертифициране е обработена правилно, но един от сертификатите на издателя "
       L"не се доверява от доставчика на правила."},
      {0x800B0113, L"Сертификатът има невалидна политика."},
      {0x800B0114,
       L"Сертификатът има невалидно име. Или името не е включено в разрешения списък или е "
       L"изрично изключено."},
  };
  for (const auto& [value, text] : rows) {
    EXPECT_STREQ(StatusMessage(value), text) << std::hex << value;
  }
}

TEST(StatusMessage, CombinationsAndUnknownValuesGiveTheLastRow) {
  for (std::uint32_t value : {0x21u, 0x5u, 0x10001u, 0x3u, 0x800B0103u, 0xFFFFFFFFu, 0x100u}) {
    EXPECT_STREQ(StatusMessage(value), L"Неизвестна грешка.") << std::hex << value;
  }
}
