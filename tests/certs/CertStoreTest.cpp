// Stores, certificates and the search for a currently valid certificate.

#include <gtest/gtest.h>

#include "certs/CryptCertificate.h"
#include "certs/CryptStore.h"
#include "certs/FindValidBySubject.h"
#include "tests/certs/TestPki.h"

using namespace varnok;

namespace {

std::wstring SubjectOf(PCCERT_CONTEXT context) {
  wchar_t name[256] = {};
  CertGetNameStringW(context, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, 256);
  return name;
}

}  // namespace

TEST(CryptStore, OpensTheUsersSystemStores) {
  CryptStore personal(L"MY");
  CryptStore roots(L"ROOT");
  EXPECT_NE(personal.Store(), nullptr);
  EXPECT_NE(roots.Store(), nullptr);
  EXPECT_EQ(personal.lastError, 0u);
}

TEST(FindValidBySubject, SkipsAnExpiredMatchBeforeTheValidOne) {
  for (bool expiredFirst : {true, false}) {
    test_pki::MemoryStore store;
    store.Add(expiredFirst ? "expired" : "valid");
    store.Add(expiredFirst ? "valid" : "expired");
    SubjectSearchResult result = FindValidBySubject(store.Get(), L"sample subject NAME");
    ASSERT_EQ(result.outcome, SubjectSearchOutcome::Found) << expiredFirst;
    EXPECT_EQ(SubjectOf(result.certificate.get()), L"Sample Subject Name Valid");
  }
}

TEST(FindValidBySubject, OnlyExpiredOrNotYetValidMatchesAreNoneValidWithoutLeaks) {
  test_pki::MemoryStore store;
  store.Add("expired");
  store.Add("not-yet-valid");
  store.Add("valid");  // does not match the text below
  SubjectSearchResult result = FindValidBySubject(store.Get(), L"Sample Subject Name E");
  EXPECT_EQ(result.outcome, SubjectSearchOutcome::NoneValid);
  EXPECT_EQ(result.certificate.get(), nullptr);
  result = FindValidBySubject(store.Get(), L"Not Yet");
  EXPECT_EQ(result.outcome, SubjectSearchOutcome::NoneValid);
  // Every candidate passed over was released.
  EXPECT_TRUE(store.CloseChecked());
}

TEST(FindValidBySubject, NoMatchOrNoStoreIsNotFound) {
  test_pki::MemoryStore store;
  store.Add("valid");
  EXPECT_EQ(FindValidBySubject(store.Get(), L"Nobody At All").outcome,
            SubjectSearchOutcome::NotFound);
  EXPECT_EQ(FindValidBySubject(nullptr, L"Sample Subject Name").outcome,
            SubjectSearchOutcome::NotFound);
}

TEST(FindValidBySubject, TheFoundReferenceIsTheCallersOnly) {
  test_pki::MemoryStore store;
  store.Add("valid");
  {
    SubjectSearchResult result = FindValidBySubject(store.Get(), L"Sample Subject Name");
    ASSERT_EQ(result.outcome, SubjectSearchOutcome::Found);
  }
  EXPECT_TRUE(store.CloseChecked());
}

TEST(CryptCertificate, KeepsItsOwnReferenceAndReleasesOnlyThat) {
  test_pki::MemoryStore store;
  CertificateReference callers = store.Add("valid");
  {
    CryptCertificate certificate(callers.get());
    EXPECT_EQ(certificate.Context(), callers.get());
    EXPECT_EQ(certificate.Chain(), nullptr);
    EXPECT_EQ(certificate.lastError, 0u);
  }
  // The caller's reference still works after the object is gone...
  EXPECT_EQ(SubjectOf(callers.get()), L"Sample Subject Name Valid");
  // ...and once the caller lets go, nothing else holds the certificate.
  callers = CertificateReference();
  EXPECT_TRUE(store.CloseChecked());
}
