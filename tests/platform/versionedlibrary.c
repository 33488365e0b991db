/* A shared object for the version reader's tests. */
#ifdef WITH_VERSION
/* four little-endian 16-bit numbers, most significant first: 2.1.0.17 */
__attribute__((section(".hcmversion"), used)) static const unsigned char version[8] = {2, 0, 1, 0, 0, 0, 17, 0};
#endif

int tarnwell_test_function(int x) { return x + 1; }
