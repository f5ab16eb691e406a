// libFuzzer target: arbitrary bytes as a .docx.
#include "docx_fuzz_common.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    arbor::fuzz::startGui(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    arbor::fuzz::readWriteRead(data, size);
    return 0;
}
