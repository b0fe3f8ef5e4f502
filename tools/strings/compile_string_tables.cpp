// Compiles the translators' gettext catalogues (resources/strings/*.po) into
// the string blocks the wizard looks its texts up in (app/string_blocks.h).
//
//   compile-string-tables OUTPUT.cpp LANGID=FILE.po [LANGID=FILE.po ...]
//
// Each entry's msgctxt is its numeric string id; its msgstr is the text.
// Entries with an empty msgstr or marked fuzzy are left out, so the wizard
// treats them as missing, as gettext does. Any malformed catalogue, repeated
// id or over-long text fails the build with the file and line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxTextLength = 1023;  // UTF-16 units

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    std::cerr << where << ": error: " << what << "\n";
    std::exit(1);
}

std::u16string Utf16FromUtf8(const std::string& s, const std::string& where) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::uint32_t cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            Fail(where, "text is not valid UTF-8");
        }
        if (i + extra >= s.size() && extra > 0) {
            Fail(where, "text is not valid UTF-8");
        }
        for (int k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) {
                Fail(where, "text is not valid UTF-8");
            }
            cp = (cp << 6) | (d & 0x3F);
        }
        static constexpr std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            Fail(where, "text is not valid UTF-8");
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += 1 + extra;
    }
    return out;
}

// One string literal of a .po line: "..." with C escapes.
std::string ParseLiteral(const std::string& text, std::size_t pos, const std::string& where) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
    if (pos >= text.size() || text[pos] != '"') {
        Fail(where, "expected a quoted string");
    }
    std::string out;
    for (++pos; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '"') {
            for (++pos; pos < text.size(); ++pos) {
                if (text[pos] != ' ' && text[pos] != '\t' && text[pos] != '\r') {
                    Fail(where, "text after the closing quote");
                }
            }
            return out;
        }
        if (c == '\\') {
            if (++pos >= text.size()) {
                break;
            }
            switch (text[pos]) {
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                default:
                    Fail(where, std::string("unknown escape \\") + text[pos]);
            }
            continue;
        }
        out += c;
    }
    Fail(where, "unterminated string");
}

struct Entry {
    std::optional<std::string> context;
    std::optional<std::string> id;
    std::optional<std::string> str;
    bool fuzzy = false;
    int line = 0;
};

// Reads the entries of one catalogue into id -> text.
std::map<int, std::u16string> ReadCatalogue(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        Fail(path, "cannot read the file");
    }
    std::map<int, std::u16string> texts;
    Entry entry;
    bool fuzzyPending = false;
    std::string* current = nullptr;
    auto finish = [&](const std::string& where) {
        if (entry.id && !entry.str) {
            Fail(where, "entry without msgstr");
        }
        if (entry.context && entry.str && !entry.fuzzy && !entry.str->empty()) {
            char* end = nullptr;
            const long id = std::strtol(entry.context->c_str(), &end, 10);
            if (entry.context->empty() || *end != '\0' || id < 0 || id > 65535) {
                Fail(path + ":" + std::to_string(entry.line), "msgctxt is not a string id");
            }
            auto text = Utf16FromUtf8(*entry.str, path + ":" + std::to_string(entry.line));
            if (text.size() > kMaxTextLength) {
                Fail(path + ":" + std::to_string(entry.line), "text longer than 1023 characters");
            }
            if (!texts.emplace(static_cast<int>(id), std::move(text)).second) {
                Fail(path + ":" + std::to_string(entry.line), "string id given twice");
            }
        }
        entry = Entry{};
        current = nullptr;
    };
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::string where = path + ":" + std::to_string(number);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        if (line[0] == '#') {
            if (line.rfind("#,", 0) == 0 && line.find("fuzzy") != std::string::npos) {
                fuzzyPending = true;
            }
            continue;
        }
        auto keyword = [&](const char* word) {
            const std::string w = word;
            return line.rfind(w, 0) == 0 && line.size() > w.size() &&
                   (line[w.size()] == ' ' || line[w.size()] == '\t');
        };
        if (keyword("msgctxt") || (keyword("msgid") && !entry.context)) {
            if (entry.id || entry.str) {
                finish(where);
            }
        }
        if (keyword("msgctxt")) {
            entry.context = ParseLiteral(line, 7, where);
            current = &*entry.context;
        } else if (keyword("msgid")) {
            if (entry.id) {
                Fail(where, "msgid given twice in one entry");
            }
            entry.id = ParseLiteral(line, 5, where);
            current = &*entry.id;
        } else if (keyword("msgstr")) {
            if (!entry.id || entry.str) {
                Fail(where, "msgstr without its msgid");
            }
            entry.str = ParseLiteral(line, 6, where);
            current = &*entry.str;
        } else if (line[0] == '"') {
            if (current == nullptr) {
                Fail(where, "string continuation outside an entry");
            }
            *current += ParseLiteral(line, 0, where);
            continue;
        } else {
            Fail(where, "unknown line (plural forms are not used here)");
        }
        if (entry.line == 0) {
            entry.line = number;
            entry.fuzzy = fuzzyPending;
            fuzzyPending = false;
        }
    }
    finish(path + ":" + std::to_string(number));
    return texts;
}

void WriteBlocks(std::ostream& out, int languageId, const std::map<int, std::u16string>& texts,
                 std::vector<std::string>& blockTables) {
    std::map<int, std::vector<char16_t>> blocks;
    for (const auto& [id, text] : texts) {
        blocks.try_emplace(id / 16 + 1);
    }
    std::ostringstream table;
    table << "const StringBlock kBlocks" << languageId << "[] = {\n";
    for (auto& [number, data] : blocks) {
        for (int i = 0; i < 16; ++i) {
            const auto found = texts.find((number - 1) * 16 + i);
            if (found == texts.end()) {
                data.push_back(0);
                continue;
            }
            data.push_back(static_cast<char16_t>(found->second.size()));
            data.insert(data.end(), found->second.begin(), found->second.end());
        }
        const std::string name =
            "kData" + std::to_string(languageId) + "_" + std::to_string(number);
        out << "const char16_t " << name << "[] = {";
        for (std::size_t i = 0; i < data.size(); ++i) {
            out << (i % 12 == 0 ? "\n    " : " ");
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "0x%04x,", static_cast<unsigned>(data[i]));
            out << buffer;
        }
        out << "\n};\n";
        table << "    {" << number << ", " << name << ", " << data.size() << "},\n";
    }
    table << "};\n";
    blockTables.push_back(table.str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: compile-string-tables OUTPUT.cpp LANGID=FILE.po...\n";
        return 2;
    }
    std::ostringstream out;
    out << "// Generated by tools/strings/compile_string_tables.cpp. Do not edit.\n"
        << "#include \"app/string_blocks.h\"\n\nnamespace app {\nnamespace {\n\n";
    std::vector<std::string> blockTables;
    std::vector<int> languages;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto eq = arg.find('=');
        if (eq == std::string::npos) {
            Fail(arg, "expected LANGID=FILE.po");
        }
        const int languageId = std::atoi(arg.substr(0, eq).c_str());
        if (languageId <= 0 || languageId > 65535) {
            Fail(arg, "bad language id");
        }
        languages.push_back(languageId);
        const auto texts = ReadCatalogue(arg.substr(eq + 1));
        if (texts.empty()) {
            Fail(arg.substr(eq + 1), "the catalogue has no texts");
        }
        WriteBlocks(out, languageId, texts, blockTables);
    }
    for (const auto& table : blockTables) {
        out << table;
    }
    out << "const StringTableResource kTables[] = {\n";
    for (int id : languages) {
        out << "    {" << id << ", kBlocks" << id << "},\n";
    }
    out << "};\n\n}  // namespace\n\nstd::span<const StringTableResource> EmbeddedStringTables() "
           "{\n"
        << "    return kTables;\n}\n\n}  // namespace app\n";

    // Write only when the content changed, so an unchanged catalogue does not
    // rebuild the wizard.
    const std::string text = out.str();
    {
        std::ifstream old(argv[1], std::ios::binary);
        std::ostringstream previous;
        previous << old.rdbuf();
        if (old && previous.str() == text) {
            return 0;
        }
    }
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file << text;
    if (!file) {
        Fail(argv[1], "cannot write the output");
    }
    return 0;
}
