// Points the viewer's config.ini at fixed directories while it lives.
#pragma once

#include "viewer/modINI.h"

#include <filesystem>
#include <string>

namespace nvtest {

class ConfigPlace final : public nv::ConfigLocation
{
public:
    // `programDir` stands for the program's own directory, `configHome` for
    // the user's configuration home.
    ConfigPlace(const std::filesystem::path &programDir, const std::filesystem::path &configHome)
        : m_roots{programDir.string(), configHome.string()}
    {
        m_previous = nv::setConfigLocation(this);
    }
    ~ConfigPlace() override { nv::setConfigLocation(m_previous); }
    ConfigPlace(const ConfigPlace &) = delete;
    ConfigPlace &operator=(const ConfigPlace &) = delete;

    nv::SettingsRoots roots() const override { return m_roots; }
    void setProgramDir(const std::filesystem::path &dir) { m_roots.programDir = dir.string(); }

private:
    nv::SettingsRoots m_roots;
    const nv::ConfigLocation *m_previous = nullptr;
};

} // namespace nvtest
