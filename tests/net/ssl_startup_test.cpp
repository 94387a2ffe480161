// The process-wide TLS set-up: start-up, the seven Diffie-Hellman groups and
// their warnings, and the TLS error report.
#include <gtest/gtest.h>

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>

#include "net/net_test_support.h"
#include "net/ssl_startup.h"

namespace {

TEST(trel_ssl_startup, makes_one_context_and_a_second_call_keeps_it) {
  ASSERT_EQ(1, trel_ssl_startup());
  SSL_CTX *first = trel_ssl_context();
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(1, trel_ssl_startup());
  EXPECT_EQ(first, trel_ssl_context());
}

// A group's modulus and generator as numbers; both freed by the caller.
void group_numbers(EVP_PKEY *group, BIGNUM **p, BIGNUM **g) {
  *p = nullptr;
  *g = nullptr;
  EVP_PKEY_get_bn_param(group, OSSL_PKEY_PARAM_FFC_P, p);
  EVP_PKEY_get_bn_param(group, OSSL_PKEY_PARAM_FFC_G, g);
}

struct group_case {
  int bits;
  BIGNUM *(*standard)(BIGNUM *); // the published prime, or nullptr
};

TEST(get_tmp_dh_callback, serves_seven_cached_generator_2_safe_prime_groups) {
  const group_case cases[] = {
      {512, nullptr},
      {768, BN_get_rfc2409_prime_768},
      {1024, BN_get_rfc2409_prime_1024},
      {1536, BN_get_rfc3526_prime_1536},
      {2048, BN_get_rfc3526_prime_2048},
      {3072, BN_get_rfc3526_prime_3072},
      {4096, BN_get_rfc3526_prime_4096},
  };
  net_log_capture quiet(0);
  BN_CTX *context = BN_CTX_new();
  for (const group_case &c : cases) {
    SCOPED_TRACE(c.bits);
    EVP_PKEY *group = get_tmp_dh_callback(nullptr, 0, c.bits);
    ASSERT_NE(nullptr, group);
    EXPECT_EQ(group, get_tmp_dh_callback(nullptr, 0, c.bits)) << "built again instead of cached";
    BIGNUM *p = nullptr;
    BIGNUM *g = nullptr;
    group_numbers(group, &p, &g);
    ASSERT_NE(nullptr, p);
    ASSERT_NE(nullptr, g);
    EXPECT_EQ(c.bits, BN_num_bits(p));
    EXPECT_TRUE(BN_is_word(g, 2));
    // 2 generates the large prime-order subgroup only when p = 7 mod 8.
    EXPECT_EQ(7u, BN_mod_word(p, 8));
    if (c.standard) {
      BIGNUM *published = c.standard(nullptr);
      EXPECT_EQ(0, BN_cmp(published, p)) << "the stored modulus differs from the published one";
      BN_free(published);
    } else {
      // Our own group: p and (p - 1) / 2 must both be prime.
      BIGNUM *q = BN_dup(p);
      BN_sub_word(q, 1);
      BN_rshift1(q, q);
      EXPECT_EQ(1, BN_check_prime(p, context, nullptr));
      EXPECT_EQ(1, BN_check_prime(q, context, nullptr));
      BN_free(q);
    }
    BN_free(p);
    BN_free(g);
  }
  BN_CTX_free(context);
}

TEST(get_tmp_dh_callback, warns_about_short_and_unsupported_lengths) {
  net_log_capture log(1);
  EXPECT_NE(nullptr, get_tmp_dh_callback(nullptr, 1, 512));
  EXPECT_NE(nullptr, get_tmp_dh_callback(nullptr, 0, 1024));
  EXPECT_EQ(nullptr, get_tmp_dh_callback(nullptr, 1, 2047));
  EXPECT_EQ(nullptr, get_tmp_dh_callback(nullptr, 0, 256));
  EXPECT_EQ("Warning in get_tmp_dh_callback(), requested short key length  512, export 1.\n"
            "Warning in get_tmp_dh_callback(), unsupported key length 2047, export 1.\n"
            "Warning in get_tmp_dh_callback(), requested short key length  256, export 0.\n"
            "Warning in get_tmp_dh_callback(), unsupported key length  256, export 0.\n",
            log.text());
}

TEST(report_ssl_error, reports_the_oldest_library_error_with_the_kind_only_when_verbose) {
  ASSERT_EQ(1, trel_ssl_startup());
  SSL *ssl = SSL_new(trel_ssl_context());
  ASSERT_NE(nullptr, ssl);
  {
    net_log_capture log(1);
    ERR_clear_error();
    EXPECT_EQ(0, SSL_set_cipher_list(ssl, "NO-SUCH-CIPHER"));
    report_ssl_error(5);
    EXPECT_EQ("", log.text());
  }
  {
    net_log_capture log(3);
    ERR_clear_error();
    EXPECT_EQ(0, SSL_set_cipher_list(ssl, "NO-SUCH-CIPHER"));
    report_ssl_error(5);
    std::string text = log.text();
    EXPECT_NE(std::string::npos, text.find("no cipher match - err code 5.\n")) << text;
    EXPECT_EQ(0, text.rfind("error:", 0)) << text;
  }
  SSL_free(ssl);
}

} // namespace
