#pragma once
// The scrambling of protected Paradox tables: the data blocks of a .DB and the whole of its
// .MB are processed in 256-byte chunks with the key (the password checksum the header
// holds). A .DB chunk also depends on its block number and its place in the block; a .MB
// chunk only on the key.

#include <array>
#include <cstddef>
#include <cstdint>

namespace morvane {

using ParadoxChunk = std::array<std::uint8_t, 256>;

// One chunk with the scheme's four parameters: a and b from the key, c and d from the place.
ParadoxChunk ParadoxEncryptChunk(const ParadoxChunk& in, std::uint8_t a, std::uint8_t b, std::uint8_t c,
                                 std::uint8_t d);
ParadoxChunk ParadoxDecryptChunk(const ParadoxChunk& in, std::uint8_t a, std::uint8_t b, std::uint8_t c,
                                 std::uint8_t d);

// The first of the scheme's three constant tables (the password checksum uses it on its own).
const ParadoxChunk& ParadoxCryptTableA();

class ParadoxCipher
{
public:
    explicit ParadoxCipher(std::uint32_t key);
    std::uint32_t key() const { return key_; }

    // block: the bytes of .DB data block blockNumber (1-based), in place. Whole chunks only:
    // bytes past the last multiple of 256 are left as they are.
    void DecryptDbBlock(std::uint8_t* block, std::size_t bytes, std::uint32_t blockNumber) const;
    void EncryptDbBlock(std::uint8_t* block, std::size_t bytes, std::uint32_t blockNumber) const;
    // data: bytes of a .MB file starting at a multiple of 256, in place (whole chunks only).
    void DecryptMb(std::uint8_t* data, std::size_t bytes) const;
    void EncryptMb(std::uint8_t* data, std::size_t bytes) const;

private:
    void decrypt(std::uint8_t* chunk, std::uint8_t c, std::uint8_t d) const;
    void encrypt(std::uint8_t* chunk, std::uint8_t c, std::uint8_t d) const;

    std::uint32_t key_;
    std::uint8_t a_;
    std::uint8_t b_;
    ParadoxChunk rotatedA_{}; // A[(x + a) & 0xFF]
    ParadoxChunk rotatedB_{}; // B[(y + b) & 0xFF]
};

} // namespace morvane
