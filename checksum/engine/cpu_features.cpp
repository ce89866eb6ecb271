#include "checksum/engine/cpu_features.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace engine {
namespace {

#if defined(__x86_64__) || defined(__i386__)
unsigned long long readXcr0()
{
    unsigned eax = 0, edx = 0;
    __asm__ volatile("xgetbv" : "=a"(eax), "=d"(edx) : "c"(0));
    return (static_cast<unsigned long long>(edx) << 32) | eax;
}

CpuFeatures probe()
{
    CpuFeatures f;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return f;
    f.ssse3 = (ecx >> 9) & 1;
    f.sse41 = (ecx >> 19) & 1;
    f.pclmul = (ecx >> 1) & 1;
    const bool osxsave = (ecx >> 27) & 1;
    const bool avx = (ecx >> 28) & 1;
    const unsigned long long xcr0 = osxsave ? readXcr0() : 0;
    const bool ymmSaved = (xcr0 & 0x6) == 0x6;
    const bool zmmSaved = (xcr0 & 0xe6) == 0xe6;

    if (__get_cpuid_max(0, nullptr) >= 7) {
        __cpuid_count(7, 0, eax, ebx, ecx, edx);
        f.shaNi = (ebx >> 29) & 1;
        f.avx2 = avx && ymmSaved && ((ebx >> 5) & 1);
        f.bmi1 = (ebx >> 3) & 1;
        f.bmi2 = (ebx >> 8) & 1;
        const bool avx512f = (ebx >> 16) & 1;
        const bool avx512dq = (ebx >> 17) & 1;
        const bool avx512bw = (ebx >> 30) & 1;
        const bool avx512vl = (ebx >> 31) & 1;
        f.avx512 = zmmSaved && avx512f && avx512dq && avx512bw && avx512vl;
        f.vpclmul = f.avx2 && ((ecx >> 10) & 1);
    }
    return f;
}
#else
CpuFeatures probe()
{
    return {};
}
#endif

KernelLevel levelFromEnvironment()
{
    const char* text = std::getenv("HASHMERE_KERNELS");
    if (text == nullptr || *text == '\0')
        return KernelLevel::Avx512;
    for (int level = 0; level <= static_cast<int>(KernelLevel::Avx512); ++level) {
        if (std::strcmp(text, kernelLevelName(static_cast<KernelLevel>(level))) == 0)
            return static_cast<KernelLevel>(level);
    }
    return KernelLevel::Avx512;
}

std::atomic<int>& ceiling()
{
    static std::atomic<int> value{static_cast<int>(levelFromEnvironment())};
    return value;
}

} // namespace

const CpuFeatures& detectedCpuFeatures()
{
    static const CpuFeatures features = probe();
    return features;
}

CpuFeatures usableCpuFeatures()
{
    CpuFeatures f = detectedCpuFeatures();
    const int cap = ceiling().load(std::memory_order_relaxed);
    if (cap < static_cast<int>(KernelLevel::Avx512)) {
        f.avx512 = false;
        f.vpclmul = false;
    }
    if (cap < static_cast<int>(KernelLevel::Avx2)) {
        f.avx2 = false;
        f.bmi1 = false;
        f.bmi2 = false;
    }
    if (cap < static_cast<int>(KernelLevel::Sse))
        f = CpuFeatures{};
    return f;
}

KernelLevel highestKernelLevel()
{
    const CpuFeatures& f = detectedCpuFeatures();
    if (f.avx512 && f.avx2 && f.bmi2)
        return KernelLevel::Avx512;
    if (f.avx2 && f.bmi2)
        return KernelLevel::Avx2;
    if (f.sse41 && f.ssse3)
        return KernelLevel::Sse;
    return KernelLevel::Portable;
}

void setKernelCeiling(KernelLevel level)
{
    ceiling().store(static_cast<int>(level), std::memory_order_relaxed);
}

KernelLevel kernelCeiling()
{
    return static_cast<KernelLevel>(ceiling().load(std::memory_order_relaxed));
}

const char* kernelLevelName(KernelLevel level)
{
    switch (level) {
    case KernelLevel::Portable:
        return "portable";
    case KernelLevel::Sse:
        return "sse";
    case KernelLevel::Avx2:
        return "avx2";
    case KernelLevel::Avx512:
        return "avx512";
    }
    return "";
}

} // namespace engine
