#pragma once
// Run-time choice of the accelerated digest kernels.
//
// Every accelerated kernel has a portable twin that gives the same bytes. Which
// ones run is decided by what the processor offers, capped by a ceiling that
// starts from the environment variable HASHMERE_KERNELS ("portable", "sse",
// "avx2" or "avx512"; unset means the best available) and that tests may lower
// to compare every level against the portable code.

namespace engine {

enum class KernelLevel : int {
    Portable = 0, // plain C++ only
    Sse = 1,      // SSE4.1, SSSE3, SHA extensions, PCLMULQDQ
    Avx2 = 2,     // AVX2, BMI1 and BMI2
    Avx512 = 3,   // AVX-512 F/VL/BW/DQ, VPCLMULQDQ
};

struct CpuFeatures {
    bool sse41 = false;
    bool ssse3 = false;
    bool shaNi = false;
    bool pclmul = false;
    bool avx2 = false;
    bool bmi1 = false;
    bool bmi2 = false;
    bool avx512 = false; // F, VL, BW and DQ with the OS saving the ZMM state
    bool vpclmul = false;
};

// What the processor and the operating system support, ignoring the ceiling.
const CpuFeatures& detectedCpuFeatures();

// The features the kernels may use now: detected features capped by the ceiling.
CpuFeatures usableCpuFeatures();

// The highest level the processor supports.
KernelLevel highestKernelLevel();

// Caps the kernels chosen by later digest contexts. Contexts already created
// keep their kernels. Meant for start-up and tests, before worker threads run.
void setKernelCeiling(KernelLevel level);
KernelLevel kernelCeiling();

const char* kernelLevelName(KernelLevel level);

} // namespace engine
