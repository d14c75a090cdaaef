#include "update/LibCrypto.h"

#include <openssl/crypto.h>

void UseLibCrypto() {
    // Which bundles a display accepts must not depend on an OpenSSL configuration file that a
    // root file system (or the workstation running zup) happens to carry.
    OPENSSL_init_crypto(OPENSSL_INIT_NO_LOAD_CONFIG, nullptr);
}
