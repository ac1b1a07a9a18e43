#include <openssl/evp.h>

#include <fstream>
#include <memory>

#include "journal/journal.h"

namespace velmora::journal {

FirmwareFile DescribeFile(const std::filesystem::path& file) {
    FirmwareFile described;
    described.name = file.filename().string();
    std::error_code ec;
    described.size = std::filesystem::file_size(file, ec);
    if (ec) described.size = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) return described;
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                          &EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return described;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        EVP_DigestUpdate(context.get(), buffer, static_cast<std::size_t>(in.gcount()));
        if (!in) break;
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return described;
    static constexpr char kHex[] = "0123456789abcdef";
    for (unsigned int i = 0; i < length; ++i) {
        described.sha256 += kHex[digest[i] >> 4];
        described.sha256 += kHex[digest[i] & 0x0F];
    }
    return described;
}

}  // namespace velmora::journal
