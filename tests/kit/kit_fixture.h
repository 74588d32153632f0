// Shared by the kit tests: a sandbox per test whose tmp/ folder is the
// temporary directory (so kit images can be counted), kits written with the
// project's own kit writer, and a little-endian builder for hand-made images.
#pragma once
#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fs/file_system.h"
#include "kit/install_data.h"
#include "kit/kit_writer.h"
#include "kit/lz_compressor.h"
#include "support/sandbox.h"

namespace kittest {

using string16 = stdx::basic_string<char16_t>;
using Kit = InstallData<LZCompressor, FileSystem>;

// 2020-01-01 00:00:00 UTC as a file time.
constexpr uint64_t kNewYear2020 = 132223104000000000ULL;

// Appends little-endian fields to a byte string.
class Bytes {
  public:
    Bytes& u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) data_.push_back(char((v >> (8 * i)) & 0xFF));
        return *this;
    }
    Bytes& u64(uint64_t v) {
        u32(uint32_t(v));
        return u32(uint32_t(v >> 32));
    }
    Bytes& units(const string16& s) {
        for (char16_t c : s) {
            data_.push_back(char(c & 0xFF));
            data_.push_back(char(c >> 8));
        }
        return *this;
    }
    Bytes& counted(const string16& s) { return u32(uint32_t(s.size())).units(s); }
    Bytes& raw(const std::string& s) {
        data_ += s;
        return *this;
    }
    const std::string& str() const { return data_; }
    size_t size() const { return data_.size(); }

  private:
    std::string data_;
};

class KitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = std::getenv("TMPDIR");
        hadTmp_ = old != nullptr;
        if (old)
            oldTmp_ = old;
        sandbox_.mkdirs("tmp");
        setenv("TMPDIR", sandbox_.at("tmp").c_str(), 1);
    }
    void TearDown() override {
        if (hadTmp_) {
            setenv("TMPDIR", oldTmp_.c_str(), 1);
        } else {
            unsetenv("TMPDIR");
        }
    }

    // Writes the writer's kit to `name` in the sandbox; returns its path.
    string16 WriteKit(const kit::KitWriter& writer, const std::string& name = "kelda.efd") {
        std::string error;
        EXPECT_TRUE(writer.WriteKit(sandbox_.at(name), &error)) << error;
        return sandbox_.at16(name);
    }
    // Deflates a hand-made image into a kit file.
    string16 KitFromImage(const std::string& image, const std::string& name = "kelda.efd") {
        std::string error;
        EXPECT_TRUE(kit::WriteRawDeflate(image, sandbox_.at(name), 6, &error)) << error;
        return sandbox_.at16(name);
    }
    // Raw bytes as the kit file, compressed or not.
    string16 KitFromBytes(const std::string& bytes, const std::string& name = "kelda.efd") {
        sandbox_.write(name, bytes);
        return sandbox_.at16(name);
    }
    // How many descriptors the process has open.
    static size_t OpenDescriptors() {
        size_t count = 0;
        if (DIR* dir = opendir("/proc/self/fd")) {
            while (readdir(dir) != nullptr) {
                ++count;
            }
            closedir(dir);
        }
        return count;
    }
    // Names of the files in the temporary directory (kit images among them).
    std::vector<std::string> TempFiles() const {
        std::vector<std::string> names;
        DIR* dir = opendir(sandbox_.at("tmp").c_str());
        if (!dir)
            return names;
        while (dirent* e = readdir(dir)) {
            std::string n = e->d_name;
            if (n != "." && n != "..")
                names.push_back(n);
        }
        closedir(dir);
        return names;
    }

    testing_support::Sandbox sandbox_;

  private:
    bool hadTmp_ = false;
    std::string oldTmp_;
};

}  // namespace kittest
