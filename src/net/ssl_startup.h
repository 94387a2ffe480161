// Process-wide TLS set-up: the one client context every TLS socket is made
// from, the fixed Diffie-Hellman groups, and the reporting of TLS library errors.
#pragma once

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;
typedef struct evp_pkey_st EVP_PKEY;

// The cipher list of the context and of every TLS object made from it.
constexpr const char *TREL_SSL_CIPHER_LIST = "HIGH:@STRENGTH:!aNULL";

// Initialises the TLS library and creates the process-wide client context.
// Returns 1 on success (also when the context exists already), 0 on failure
// with the library's error text in the debug log. Call it once at start-up,
// before any other thread uses TLS.
int trel_ssl_startup();

// The context made by trel_ssl_startup, or nullptr before it succeeded. The
// context is owned by this module and lives for the whole process.
SSL_CTX *trel_ssl_context();

// The Diffie-Hellman group (prime modulus with generator 2) for a key length
// of 512, 768, 1024, 1536, 2048, 3072 or 4096 bits, built on first request and
// cached for the process; nullptr for any other length or when building
// failed. The result is borrowed: callers must not free it. The TLS object is
// not used; it is there because the library's callback passes it.
EVP_PKEY *get_tmp_dh_callback(SSL *ssl, int is_export, int key_length);

// Takes the oldest queued TLS library error and reports its text with kind
// (verbose): "<text> - err code <kind>.".
void report_ssl_error(int kind);
