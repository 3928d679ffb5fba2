#include "registrykey.h"

#include <algorithm>

namespace vlscom {

namespace {
char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

bool NoCaseLess::operator()(std::string_view a, std::string_view b) const
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(lower(a[i]));
        const auto y = static_cast<unsigned char>(lower(b[i]));
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

RegistryKey::RegistryKey(std::string name)
    : m_name(std::move(name))
{
}

RegistryKey* RegistryKey::find(std::span<const std::string> path)
{
    RegistryKey* key = this;
    for (const std::string& name : path) {
        const auto found = key->m_subkeys.find(name);
        if (found == key->m_subkeys.end())
            return nullptr;
        key = found->second.get();
    }
    return key;
}

const RegistryKey* RegistryKey::find(std::span<const std::string> path) const
{
    return const_cast<RegistryKey*>(this)->find(path);
}

RegistryKey& RegistryKey::create(std::span<const std::string> path)
{
    RegistryKey* key = this;
    for (const std::string& name : path) {
        auto found = key->m_subkeys.find(name);
        if (found == key->m_subkeys.end())
            found = key->m_subkeys.emplace(name, std::make_unique<RegistryKey>(name)).first;
        key = found->second.get();
    }
    return *key;
}

bool RegistryKey::remove(std::span<const std::string> path)
{
    if (path.empty())
        return false;
    RegistryKey* parent = find(path.first(path.size() - 1));
    if (!parent)
        return false;
    const auto found = parent->m_subkeys.find(path.back());
    if (found == parent->m_subkeys.end())
        return false;
    parent->m_subkeys.erase(found);
    return true;
}

const std::string* RegistryKey::value(std::string_view name) const
{
    const auto found = m_values.find(name);
    return found == m_values.end() ? nullptr : &found->second;
}

void RegistryKey::setValue(std::string_view name, std::string data)
{
    const auto found = m_values.find(name);
    if (found == m_values.end())
        m_values.emplace(std::string(name), std::move(data));
    else
        found->second = std::move(data);
}

bool RegistryKey::removeValue(std::string_view name)
{
    const auto found = m_values.find(name);
    if (found == m_values.end())
        return false;
    m_values.erase(found);
    return true;
}

std::vector<std::string> splitKeyPath(std::string_view path)
{
    std::vector<std::string> names;
    if (path.empty())
        return names;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find('\\', start);
        names.emplace_back(path.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return names;
}

} // namespace vlscom
