#include "message_catalogue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const char* const kSpanishGeneric =
    "Ha ocurrido un error durante la instalacion.\nPor favor, vuelva a repetir el proceso.";
const char* const kEnglishGeneric =
    "An error has occurred during the installation.\nPlease try again.";
const char* const kSpanishWait =
    "Por favor, espera mientras arranca la aplicacion.\nTu anti-virus esta verificando los archivos...";
const char* const kEnglishWait =
    "Please wait; the application is now launching.\nYour anti-virus software is analyzing the files...";

struct LookupCase {
    const char* language;
    int32_t number;
    const char* expected;
};

class CatalogueLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(CatalogueLookup, GivesTheTextOfItsRule) {
    const LookupCase& c = GetParam();
    EXPECT_STREQ(c.expected, localizedText(c.language, c.number));
}

INSTANTIATE_TEST_SUITE_P(Rules, CatalogueLookup, testing::Values(
    LookupCase{"es", 30, kSpanishWait},
    LookupCase{"en", 30, kEnglishWait},
    LookupCase{"fr", 30, kEnglishWait},     // unknown language falls back to English
    LookupCase{"", 30, kEnglishWait},
    LookupCase{nullptr, 30, kEnglishWait},  // no language at all
    LookupCase{"ES", 30, kEnglishWait},     // codes are case-sensitive
    LookupCase{"EN", 30, kEnglishWait},
    LookupCase{"es-ES", 30, kEnglishWait},  // no regional forms
    LookupCase{"spa", 6, "Warning"},
    LookupCase{"es", 5, "Error"},
    LookupCase{"en", 5, "Error"},
    LookupCase{"es", 6, "Atencion"},
    LookupCase{"es", 0, kSpanishGeneric},
    LookupCase{"fr", 0, kEnglishGeneric},
    LookupCase{"en", 99, kEnglishGeneric},
    LookupCase{"es", 35, kSpanishGeneric},
    LookupCase{"es", -1, kSpanishGeneric},
    LookupCase{"es", INT32_MIN, kSpanishGeneric},
    LookupCase{nullptr, 0, kEnglishGeneric}));

std::string unescapeLineFeeds(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The texts are the contract with the users: every row against a copy kept
// apart from the code.
TEST(Catalogue, EveryRowMatchesTheReferenceCopy) {
    const char* dataDir = std::getenv("QM_TEST_DATA");
    ASSERT_NE(nullptr, dataDir);
    std::ifstream reference(std::string(dataDir) + "/catalogue.tsv");
    ASSERT_TRUE(reference.is_open());

    int rows = 0;
    std::string line;
    while (std::getline(reference, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const size_t tab1 = line.find('\t');
        const size_t tab2 = line.find('\t', tab1 + 1);
        ASSERT_NE(std::string::npos, tab2) << line;
        const int number = std::stoi(line.substr(0, tab1));
        const std::string language = line.substr(tab1 + 1, tab2 - tab1 - 1);
        const std::string text = unescapeLineFeeds(line.substr(tab2 + 1));
        EXPECT_EQ(text, localizedText(language.c_str(), number)) << number << " " << language;
        ++rows;
    }
    EXPECT_EQ(70, rows);  // 34 messages and the generic text, in two languages
}

TEST(Catalogue, TextsArePlainAscii) {
    for (const char* language : {"en", "es"}) {
        for (int32_t number = 0; number <= 34; ++number) {
            for (const char* c = localizedText(language, number); *c; ++c)
                EXPECT_TRUE(*c == '\n' || (*c >= 0x20 && *c < 0x7F)) << number;
        }
    }
}

}  // namespace
