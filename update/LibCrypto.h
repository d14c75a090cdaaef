#pragma once

// Starts OpenSSL's libcrypto for the signature checks. Call before any other use of it; later
// calls do nothing.
void UseLibCrypto();
