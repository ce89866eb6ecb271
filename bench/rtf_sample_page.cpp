// The generated page of the RTF benchmarks.

#include "bench/rtf_sample_page.h"

#include <iterator>
#include <string>

namespace {

const char* const kWords[] = {"checksum", "file", "verify", "the", "digest", "algorithm", "result", "window",
    "expected", "value", "copy", "save", "language", "manual", "page", "of", "and", "a", "with", "every", "row"};

const char* const kHeader = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"
                            "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}"
                            "{\\f2\\fmodern\\fcharset0 Courier New;}{\\f3\\froman\\fcharset2 Symbol;}"
                            "{\\f4\\fswiss\\fcharset238 Arial CE;}}\n"
                            "{\\colortbl;\\red0\\green0\\blue0;\\red192\\green0\\blue0;\\red0\\green96\\blue160;"
                            "\\red230\\green230\\blue230;}\n"
                            "{\\*\\generator rtf_bench;}{\\info{\\title Benchmark page}}\\viewkind4\n";

// A bordered row of four cells, the first row shaded and bold; `word()` gives each cell's word.
template <typename NextWord> void tableRow(std::string& rtf, int row, NextWord word)
{
    rtf += "\\trowd\\trgaph108\\trleft-108";
    for (int c = 1; c <= 4; ++c) {
        rtf += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
               "\\clbrdrr\\brdrs\\brdrw10";
        if (row == 0)
            rtf += "\\clcbpat4";
        rtf += "\\cellx" + std::to_string(c * 2200);
    }
    rtf += "\n\\pard\\intbl\\plain\\f0\\fs20 ";
    for (int c = 0; c < 4; ++c) {
        if (row == 0)
            rtf += "{\\b ";
        rtf += word();
        rtf += " ";
        rtf += std::to_string(row * 4 + c);
        if (row == 0)
            rtf += "}";
        rtf += "\\cell ";
    }
    rtf += "\\row\n";
}

} // namespace

std::string generatePage(std::size_t targetBytes)
{
    std::string rtf = kHeader;
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    auto sentence = [&](std::string& out) {
        const unsigned words = 8 + next() % 12;
        for (unsigned w = 0; w < words; ++w) {
            const char* word = kWords[next() % std::size(kWords)];
            switch (next() % 16) {
            case 0:
                out += "{\\b ";
                out += word;
                out += "}";
                break;
            case 1:
                out += "{\\i ";
                out += word;
                out += "}";
                break;
            case 2:
                out += "{\\cf2 ";
                out += word;
                out += "}";
                break;
            case 3:
                out += "{\\f2\\fs20 ";
                out += word;
                out += "}";
                break;
            case 4:
                out += "caf\\'e9";
                break;
            case 5:
                out += "\\u8364?";
                break;
            case 6:
                out += "{\\ul ";
                out += word;
                out += "}";
                break;
            case 7:
                out += "{\\f4 \\'b9\\'e6}";
                break;
            default:
                out += word;
                break;
            }
            out += w + 1 < words ? " " : ". ";
        }
    };
    int paragraph = 0;
    while (rtf.size() < targetBytes) {
        ++paragraph;
        if (paragraph % 25 == 0) {
            for (int row = 0; row < 12; ++row)
                tableRow(rtf, row, [&] { return kWords[next() % std::size(kWords)]; });
            rtf += "\\pard\\plain\\f0\\fs22\\sa120 ";
        } else if (paragraph % 7 == 0) {
            rtf += "\\pard\\plain\\f0\\fs22\\fi-360\\li720\\sa60{\\pntext\\f3\\'b7\\tab}";
            sentence(rtf);
            rtf += "\\par\n";
        } else if (paragraph % 40 == 1) {
            rtf += "\\pard\\plain\\f1\\fs32\\b\\sb240\\sa120 ";
            rtf += kWords[next() % std::size(kWords)];
            rtf += " section " + std::to_string(paragraph) + "\\par\n";
        } else {
            rtf += "\\pard\\plain\\f0\\fs22\\sa120\\qj ";
            for (int s = 0; s < 4; ++s)
                sentence(rtf);
            rtf += "\\par\n";
        }
    }
    rtf += "}";
    return rtf;
}

std::string generateTablePage(int rows)
{
    std::string rtf = kHeader;
    rtf += "\\pard\\plain\\f1\\fs32\\b\\sa120 A long table\\par\n";
    for (int row = 0; row < rows; ++row)
        tableRow(rtf, row, [row] { return kWords[static_cast<std::size_t>(row) % std::size(kWords)]; });
    rtf += "\\pard\\plain\\f0\\fs22 The end of the table.\\par\n}";
    return rtf;
}
