#pragma once

// A key of the class registry held in memory: named string values and subkeys, both looked up
// without regard to ASCII case (as the registry does) and kept in that order.

#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vlscom {

struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

bool equalsNoCase(std::string_view a, std::string_view b);

class RegistryKey {
public:
    using Values = std::map<std::string, std::string, NoCaseLess>;
    using Subkeys = std::map<std::string, std::unique_ptr<RegistryKey>, NoCaseLess>;

    explicit RegistryKey(std::string name = {});

    const std::string& name() const { return m_name; }
    // Values by name; "" is the key's default value.
    const Values& values() const { return m_values; }
    const Subkeys& subkeys() const { return m_subkeys; }
    bool empty() const { return m_values.empty() && m_subkeys.empty(); }

    // path: names of the keys below this one. Null when absent.
    RegistryKey* find(std::span<const std::string> path);
    const RegistryKey* find(std::span<const std::string> path) const;
    // The key at path, created with its missing parents.
    RegistryKey& create(std::span<const std::string> path);
    // Deletes the key at path with everything below it; false when absent (or path is empty).
    bool remove(std::span<const std::string> path);

    const std::string* value(std::string_view name) const;
    void setValue(std::string_view name, std::string data);
    bool removeValue(std::string_view name);

private:
    std::string m_name;
    Values m_values;
    Subkeys m_subkeys;
};

// "CLSID\{...}\InprocServer32" → its names (an empty name stays, so that find fails on it).
std::vector<std::string> splitKeyPath(std::string_view path);

} // namespace vlscom
