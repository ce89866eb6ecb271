// Known answers from testdata/known_answers.tsv (made by make_known_answers.py
// beside it), checked through every kernel level this processor offers.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "checksum/engine/cpu_features.h"
#include "checksum/engine/digest.h"

namespace engine {
namespace {

struct KnownAnswer {
    DigestAlgorithm algorithm;
    std::int32_t bitWidth;
    std::string input;
    std::string expected;
};

std::vector<std::uint8_t> expandInput(const std::string& spec)
{
    if (spec.rfind("text:", 0) == 0)
        return {spec.begin() + 5, spec.end()};
    if (spec.rfind("repeat:", 0) == 0)
        return std::vector<std::uint8_t>(std::stoul(spec.substr(9)), static_cast<std::uint8_t>(spec[7]));
    std::vector<std::uint8_t> bytes(std::stoul(spec.substr(8)));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 31 + 7) % 251);
    return bytes;
}

std::vector<KnownAnswer> loadKnownAnswers()
{
    std::ifstream in(HASHMERE_TEST_DATA_DIR "/known_answers.tsv");
    std::vector<KnownAnswer> answers;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name, width, input, expected;
        std::getline(fields, name, '\t');
        std::getline(fields, width, '\t');
        std::getline(fields, input, '\t');
        std::getline(fields, expected, '\t');
        const DigestAlgorithm algorithm = name == "crc32" ? Crc32
            : name == "md5"                               ? Md5
            : name == "sha1"                              ? Sha1
            : name == "sha2"                              ? Sha2
                                                          : Sha3;
        answers.push_back({algorithm, std::stoi(width), input, expected});
    }
    return answers;
}

class KnownAnswers : public ::testing::TestWithParam<KernelLevel> {
protected:
    static void SetUpTestSuite() { registerStandardPlugins(); }
    void TearDown() override { setKernelCeiling(KernelLevel::Avx512); }
};

TEST_P(KnownAnswers, EveryInputOfEveryAlgorithm)
{
    if (GetParam() > highestKernelLevel())
        GTEST_SKIP() << "processor lacks " << kernelLevelName(GetParam());
    setKernelCeiling(GetParam());
    const std::vector<KnownAnswer> answers = loadKnownAnswers();
    ASSERT_GT(answers.size(), 600u) << "known_answers.tsv not found or short";
    std::string lastSpec;
    std::vector<std::uint8_t> input;
    for (const KnownAnswer& answer : answers) {
        if (answer.input != lastSpec) {
            input = expandInput(answer.input);
            lastSpec = answer.input;
        }
        EXPECT_EQ(bufferDigestHex(input.data(), input.size(), answer.algorithm, answer.bitWidth), answer.expected)
            << "algorithm " << answer.algorithm << '/' << answer.bitWidth << " input " << answer.input;
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, KnownAnswers,
    ::testing::Values(KernelLevel::Portable, KernelLevel::Sse, KernelLevel::Avx2, KernelLevel::Avx512),
    [](const auto& info) { return std::string(kernelLevelName(info.param)); });

// Values checked outright, independent of the data file.
TEST(KnownAnswers, StatedValues)
{
    registerStandardPlugins();
    struct Case {
        const char* input;
        DigestAlgorithm algorithm;
        std::int32_t bitWidth;
        const char* expected;
    };
    const Case cases[] = {
        {"", Crc32, 0, "00000000"},
        {"", Md5, 0, "d41d8cd98f00b204e9800998ecf8427e"},
        {"", Sha1, 0, "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"", Sha2, 256, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"", Sha3, 256, "a7ffc6f8bf1ed76651c14756a061d662f580ff4de43b49fa82d80a4b80f8434a"},
        {"123456789", Crc32, 0, "cbf43926"},
        // Width 0 is 256 for both SHA families.
        {"", Sha2, 0, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"", Sha3, 0, "a7ffc6f8bf1ed76651c14756a061d662f580ff4de43b49fa82d80a4b80f8434a"},
        // FIPS 202 uses the 0x06 domain byte, not Keccak's 0x01.
        {"abc", Sha3, 256, "3a985da74fe225b2045c172d6bd390bd855f086e3e9d525b46bfe24511431532"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bufferDigestHex(c.input, std::string_view(c.input).size(), c.algorithm, c.bitWidth), c.expected)
            << c.algorithm << '/' << c.bitWidth << " of \"" << c.input << '"';
    }
}

} // namespace
} // namespace engine
