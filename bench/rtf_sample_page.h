#pragma once
// A page as a word processor writes it, for the RTF benchmarks: header, font and colour tables,
// then paragraphs with bold, italic, colour and font changes, \u escapes and \'hh bytes, list
// items and a 4-column table every few paragraphs, until `targetBytes` is reached. The same
// bytes on every call.

#include <cstddef>
#include <string>

std::string generatePage(std::size_t targetBytes);
// A page that is one long bordered table of `rows` rows and four columns, as above.
std::string generateTablePage(int rows);
