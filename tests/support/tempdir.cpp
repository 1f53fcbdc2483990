#include "tests/support/tempdir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "mztest-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern + "/";
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void TempDir::write(const std::string& name, const std::string& bytes) const {
    std::ofstream(m_path + name, std::ios::binary | std::ios::trunc) << bytes;
}

std::string TempDir::read(const std::string& name) const {
    std::ifstream in(m_path + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool TempDir::exists(const std::string& name) const { return std::filesystem::exists(m_path + name); }

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    const char* old = std::getenv(name);
    m_hadOld = old != nullptr;
    m_old = old ? old : "";
    ::setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (m_hadOld)
        ::setenv(m_name.c_str(), m_old.c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}
