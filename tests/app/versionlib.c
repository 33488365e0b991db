/* A shared object standing in for a calculation library in the Options tests: its version
   section holds VERSION_WORDS, four little-endian 16-bit numbers, most significant first. */
__attribute__((section(".hcmversion"), used)) static const unsigned short version[4] = {
    VERSION_WORDS};

int tarnwell_options_test_function(int x) { return x * 2; }
