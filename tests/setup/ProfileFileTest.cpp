// Reading a profile file whole: a file larger than a profile can be is refused with
// the limit, after reading no more than one byte past it.
#include "setup/ProfileFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

#include "setup/CheckWords.h"
#include "setup/ProfileCheck.h"

namespace {

using qrtl::setup::ProfileRead;

struct SizeCase {
    const char* name;
    std::uintmax_t size;  // the file's length: "[Main]\n" and then blanks or zeros
    bool sparse;          // grown by resizing (zeros, no data on disk where it can)
    ProfileRead status;
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }

const SizeCase kSizes[] = {
    {"AtTheLimit", qrtl::kMaxProfileBytes, false, ProfileRead::Ok},
    {"OneByteMore", qrtl::kMaxProfileBytes + 1, false, ProfileRead::Unusable},
    {"TenMegabytes", 10u * 1024 * 1024, false, ProfileRead::Unusable},
    {"SparseGigabyte", 1024u * 1024 * 1024, true, ProfileRead::Unusable},
};

class ProfileFileSizeTest : public ::testing::TestWithParam<SizeCase> {
protected:
    void SetUp() override {
        path_ = ::testing::TempDir() + "qrtl_profile_" + GetParam().name + ".ini";
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        const std::string head = "[Main]\n";
        out << head;
        if (!GetParam().sparse) out << std::string(GetParam().size - head.size(), ' ');
        out.close();
        std::error_code error;
        if (GetParam().sparse) std::filesystem::resize_file(path_, GetParam().size, error);
        if (error) GTEST_SKIP() << "cannot make a file of that size here: " << error.message();
    }
    void TearDown() override { std::remove(path_.c_str()); }
    std::string path_;
};

TEST_P(ProfileFileSizeTest, ReadProfileFile_FileOfThatSize_ReadNoFurtherThanOneBytePastTheLimit) {
    std::string bytes;
    const auto read = qrtl::setup::ReadProfileFile(path_, bytes);
    EXPECT_EQ(read.status, GetParam().status) << qrtl::ProfileUnusableWords(read.unusable);
    EXPECT_LE(bytes.size(), qrtl::kMaxProfileBytes + 1);
    if (GetParam().status == ProfileRead::Unusable) {
        EXPECT_EQ(qrtl::ProfileUnusableWords(read.unusable), "is too large for a profile (more than " + std::to_string(qrtl::kMaxProfileBytes) +
                                   " bytes)");
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ProfileFileSizeTest, ::testing::ValuesIn(kSizes),
                         [](const ::testing::TestParamInfo<SizeCase>& info) { return info.param.name; });

}  // namespace
