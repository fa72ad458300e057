#pragma once

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <memory>
#include <string>

namespace tandu::test {

// A self-signed certificate for one host name, made afresh for a test; its
// PEM file is what a client is told to trust.
class TestCertificate {
public:
    TestCertificate(const std::string& host, const std::string& pemPath) : pemPath_(pemPath) {
        key_.reset(EVP_RSA_gen(2048));
        cert_.reset(X509_new());
        X509* cert = cert_.get();
        ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
        X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
        X509_gmtime_adj(X509_getm_notAfter(cert), 24 * 3600);
        X509_set_pubkey(cert, key_.get());
        X509_NAME* name = X509_get_subject_name(cert);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>(host.c_str()), -1, -1, 0);
        X509_set_issuer_name(cert, name);
        X509V3_CTX context;
        X509V3_set_ctx_nodb(&context);
        X509V3_set_ctx(&context, cert, cert, nullptr, nullptr, 0);
        for (const std::string& value : {"DNS:" + host, std::string("critical,CA:TRUE")}) {
            const char* kind = value.starts_with("DNS:") ? "subjectAltName" : "basicConstraints";
            X509_EXTENSION* extension = X509V3_EXT_conf(nullptr, &context, kind, value.c_str());
            X509_add_ext(cert, extension, -1);
            X509_EXTENSION_free(extension);
        }
        X509_sign(cert, key_.get(), EVP_sha256());
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(pemPath.c_str(), "w"),
                                                             &std::fclose);
        PEM_write_X509(file.get(), cert);
    }

    EVP_PKEY* key() const { return key_.get(); }
    X509* cert() const { return cert_.get(); }
    const std::string& pemPath() const { return pemPath_; }

private:
    struct KeyFree {
        void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    };
    struct CertFree {
        void operator()(X509* cert) const { X509_free(cert); }
    };
    std::string pemPath_;
    std::unique_ptr<EVP_PKEY, KeyFree> key_;
    std::unique_ptr<X509, CertFree> cert_;
};

}  // namespace tandu::test
