#include "regedit.h"

#include <algorithm>

namespace vlscom {

namespace {

std::string_view trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool hasControlCharacter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 && c != '\t';
    });
}

class Parser {
public:
    Parser(RegEditMode mode, RegEditDocument& document)
        : m_mode(mode)
        , m_document(document)
    {
    }

    std::optional<std::string> line(std::string_view text)
    {
        if (text.empty() || text.front() == ';')
            return std::nullopt;
        if (text.front() == '[')
            return section(text);
        if (text.front() == '@' || text.front() == '"')
            return value(text);
        return "unexpected text";
    }

private:
    std::optional<std::string> section(std::string_view text)
    {
        if (text.back() != ']' || text.size() < 2)
            return "a key line must end with ']'";
        std::string_view inner = text.substr(1, text.size() - 2);
        RegEditSection section;
        if (!inner.empty() && inner.front() == '-') {
            if (m_mode != RegEditMode::Script)
                return "key deletions are allowed in registration scripts only";
            section.remove = true;
            inner.remove_prefix(1);
        }
        std::vector<std::string> names = splitKeyPath(inner);
        if (names.empty() || !equalsNoCase(names.front(), registryRootName))
            return "keys must lie under HKEY_CLASSES_ROOT";
        names.erase(names.begin());
        if (names.size() > maxKeyDepth)
            return "key nested too deeply";
        for (const std::string& name : names) {
            if (name.empty())
                return "empty key name";
            if (name.size() > maxKeyNameLength)
                return "key name too long";
        }
        if (section.remove && names.empty())
            return "HKEY_CLASSES_ROOT itself cannot be deleted";
        section.path = std::move(names);
        m_document.sections.push_back(std::move(section));
        return std::nullopt;
    }

    std::optional<std::string> value(std::string_view text)
    {
        if (m_document.sections.empty())
            return "a value must follow a key line";
        RegEditSection& current = m_document.sections.back();
        if (current.remove)
            return "a deleted key cannot take values";
        std::size_t pos = 0;
        RegEditValue entry;
        if (text.front() == '@') {
            pos = 1;
        } else if (auto error = quoted(text, pos, entry.name)) {
            return error;
        }
        if (entry.name.size() > maxValueNameLength)
            return "value name too long";
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        if (pos >= text.size() || text[pos] != '=')
            return "'=' expected after the value name";
        ++pos;
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        if (pos >= text.size() || text[pos] != '"')
            return "only string values (\"...\") are supported";
        if (auto error = quoted(text, pos, entry.data))
            return error;
        if (!trim(text.substr(pos)).empty())
            return "unexpected text after the value";
        current.values.push_back(std::move(entry));
        return std::nullopt;
    }

    // Reads the quoted string starting at text[pos] == '"'; pos ends after the closing quote.
    static std::optional<std::string> quoted(std::string_view text, std::size_t& pos, std::string& out)
    {
        ++pos;
        while (pos < text.size()) {
            const char c = text[pos++];
            if (c == '"')
                return std::nullopt;
            if (c == '\\') {
                if (pos >= text.size() || (text[pos] != '\\' && text[pos] != '"'))
                    return "only \\\\ and \\\" may be escaped";
                out += text[pos++];
            } else {
                out += c;
            }
        }
        return "unterminated string";
    }

    RegEditMode m_mode;
    RegEditDocument& m_document;
};

void formatValues(const RegistryKey& key, std::string& out)
{
    for (const auto& [name, data] : key.values()) {
        out += name.empty() ? std::string("@") : quoteRegEditString(name);
        out += '=';
        out += quoteRegEditString(data);
        out += '\n';
    }
}

// path holds the key's full name on entry and again on return.
void formatKey(const RegistryKey& key, std::string& path, std::string& out)
{
    const std::size_t length = path.size();
    for (const auto& [name, subkey] : key.subkeys()) {
        path += '\\';
        path += name;
        out += "\n[";
        out += path;
        out += "]\n";
        formatValues(*subkey, out);
        formatKey(*subkey, path, out);
        path.resize(length);
    }
}

} // namespace

std::optional<RegEditError> parseRegEdit(std::string_view text, RegEditMode mode, RegEditDocument& document)
{
    document.sections.clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    Parser parser(mode, document);
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view raw = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        if (hasControlCharacter(raw))
            return RegEditError { lineNumber, "control character in the line" };
        const std::string_view line = trim(raw);
        if (lineNumber == 1) {
            if (line != "REGEDIT4")
                return RegEditError { 1, "the first line must be REGEDIT4" };
            continue;
        }
        if (auto error = parser.line(line))
            return RegEditError { lineNumber, std::move(*error) };
    }
    if (lineNumber == 0)
        return RegEditError { 1, "the first line must be REGEDIT4" };
    return std::nullopt;
}

std::string quoteRegEditString(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string formatRegEdit(const RegistryKey& root)
{
    std::string out = "REGEDIT4\n";
    if (!root.values().empty()) {
        out += "\n[";
        out += registryRootName;
        out += "]\n";
        formatValues(root, out);
    }
    std::string path(registryRootName);
    formatKey(root, path, out);
    return out;
}

void importRegEdit(RegistryKey& root, const RegEditDocument& document)
{
    for (const RegEditSection& section : document.sections) {
        if (section.remove) {
            root.remove(section.path);
            continue;
        }
        RegistryKey& key = root.create(section.path);
        for (const RegEditValue& value : section.values)
            key.setValue(value.name, value.data);
    }
}

void unimportRegEdit(RegistryKey& root, const RegEditDocument& document)
{
    std::vector<const RegEditSection*> listed;
    for (const RegEditSection& section : document.sections) {
        if (section.remove)
            root.remove(section.path);
        else
            listed.push_back(&section);
    }
    std::stable_sort(listed.begin(), listed.end(),
        [](const RegEditSection* a, const RegEditSection* b) { return a->path.size() > b->path.size(); });
    for (const RegEditSection* section : listed) {
        RegistryKey* key = root.find(section->path);
        if (!key)
            continue;
        for (const RegEditValue& value : section->values) {
            const std::string* current = key->value(value.name);
            if (current && *current == value.data)
                key->removeValue(value.name);
        }
        if (key->empty())
            root.remove(section->path);
    }
}

} // namespace vlscom
