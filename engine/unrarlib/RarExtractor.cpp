#include "engine/unrarlib/RarExtractor.h"

#include <cstdlib>
#include <new>

#ifndef _WIN32
#include <sys/mman.h>
#endif

#include "engine/unrarlib/ArchiveStream.h"
#include "engine/unrarlib/BitInput.h"
#include "engine/unrarlib/Crc32.h"
#include "engine/unrarlib/RarDebugLog.h"

namespace {

// No symbol of the format stands for more than 260 bytes and none takes less than one bit, so
// an entry claiming more than this many bytes per packed byte cannot be real; refusing it keeps a
// hostile size from reserving gigabytes.
constexpr uint64_t kMaxBytesPerPackedByte = 260 * 8;

bool SizeIsPlausible(const RarBlockHeader& block)
{
    if (block.method == rar::kMethodStored) return block.packedSize == block.unpackedSize;
    return block.unpackedSize <= static_cast<uint64_t>(block.packedSize) * kMaxBytesPerPackedByte;
}

// Faulting a large block in 4 KB page by page costs about a tenth of decoding into it; where the
// system offers huge pages, the whole 2 MB stretches inside the block ask for them.
void AdviseHugePages(uint8_t* block, size_t bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kHugePage = 2 << 20;  // bytes
    const uintptr_t first = (reinterpret_cast<uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t last = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kHugePage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

// The block for an entry of size bytes: the decoder may write a few bytes past the entry's end,
// and the NUL goes behind it once the entry is in.
uint8_t* AllocateEntry(uint32_t size)
{
    const size_t bytes = static_cast<size_t>(size) + Rar20Decoder::kOutputSlack;
    uint8_t* block = static_cast<uint8_t*>(std::malloc(bytes));
    if (block != nullptr) AdviseHugePages(block, bytes);
    return block;
}

}  // namespace

RarExtractor::RarExtractor(const RarDebugLog& log, RarSolidCache* cache, const RarArchiveIdentity* identity)
    : log_(log), cache_(cache), identity_(identity)
{
}

bool RarExtractor::KeepsCheckpoints(const RarArchiveStart& start) const
{
    return start.solid && cache_ != nullptr && identity_ != nullptr;
}

uint64_t RarExtractor::FirstMatch(ArchiveStream& stream, const RarArchiveStart& start, const char* name) const
{
    const RarDebugLog quiet;
    RarBlockHeader block;
    for (uint64_t at = start.firstBlock;; at = block.nextBlock) {
        const RarBlockKind kind = ReadBlock(stream, at, quiet, block);
        if (kind == RarBlockKind::End || kind == RarBlockKind::SubBlock) return UINT64_MAX;
        if (kind == RarBlockKind::File && RarNamesMatch(block.name, name)) return at;
    }
}

bool RarExtractor::AcceptEntry(const RarBlockHeader& block, const char* password) const
{
    if (block.unpackVersion < rar::kMinUnpackVersion || block.unpackVersion > rar::kMaxUnpackVersion) {
        RAR_LOG(log_, "unknown compression method");
        return false;
    }
    if ((block.flags & rar::kFileEncrypted) && password != nullptr && password[0] != '\0') {
        if (block.unpackVersion < 20) {
            RAR_LOG(log_, "Old Crypt() not supported!");
        } else {
            RAR_LOG(log_, "Sorry, encrypted entries are not supported.");
        }
        return false;
    }
    return true;
}

bool RarExtractor::Decode(ArchiveStream& stream, const RarBlockHeader& block, uint8_t* output)
{
    if (block.method == rar::kMethodStored) {
        // A stored entry never enters the window; only the one asked for is read.
        if (output == nullptr) return true;
        if (!stream.Seek(block.dataStart) || stream.Read(output, block.unpackedSize) != block.unpackedSize) {
            RAR_LOG(log_, "Read error of stored file!");
            return false;
        }
        return true;
    }
    if (block.unpackedSize == 0) return true;
    if (block.dataStart + block.packedSize > stream.Length() || !stream.Seek(block.dataStart)) {
        RAR_LOG(log_, "Error - packed data cut short.");
        return false;
    }
    std::unique_ptr<BitInput> input(new (std::nothrow) BitInput(stream, block.packedSize));
    if (!input) {
        RAR_LOG(log_, "Can't allocate memory for decompression!");
        return false;
    }
    const bool solid = (block.flags & rar::kFileSolid) != 0;
    switch (decoder_->Unpack(*input, output, block.unpackedSize, solid)) {
    case Rar20Decoder::Result::Ok:
        return true;
    case Rar20Decoder::Result::Overrun:
        RAR_LOG(log_, "Fatal! Buffer overrun during decompression!");
        return false;
    case Rar20Decoder::Result::Corrupt:
        break;
    }
    RAR_LOG(log_, "Error - packed data broken or cut short.");
    return false;
}

bool RarExtractor::ExtractFound(ArchiveStream& stream, const RarBlockHeader& block, const char* password,
                                uint8_t*& output)
{
    if (!SizeIsPlausible(block) || block.dataStart + block.packedSize > stream.Length()) {
        RAR_LOG(log_, "can't allocate memory for the file decompression");
        return false;
    }
    output = AllocateEntry(block.unpackedSize);
    if (output == nullptr) {
        RAR_LOG(log_, "can't allocate memory for the file decompression");
        return false;
    }
    if (!AcceptEntry(block, password) || !Decode(stream, block, output)) return false;
    output[block.unpackedSize] = 0;
    if (Crc32(output, block.unpackedSize) != block.fileCrc) {
        RAR_LOG(log_, "CRC32 error - file couldn't be decompressed correctly!");
        return false;
    }
    return true;
}

bool RarExtractor::PassThrough(ArchiveStream& stream, const RarBlockHeader& block, const char* password)
{
    return AcceptEntry(block, password) && Decode(stream, block, nullptr);
}

bool RarExtractor::PrepareDecoder(ArchiveStream& stream, const RarArchiveStart& start, const char* name,
                                  uint64_t& position)
{
    if (cache_ != nullptr) decoder_ = std::move(cache_->decoder);
    if (!decoder_) decoder_.reset(new (std::nothrow) Rar20Decoder);
    if (!decoder_ || !decoder_->Allocate()) {
        RAR_LOG(log_, "Can't allocate memory for decompression!");
        return false;
    }
    if (KeepsCheckpoints(start)) {
        cache_->Use(*identity_);
        // Every entry before the checkpoint has been decoded and none of them answers to the name.
        const RarCheckpoint* checkpoint = cache_->Before(FirstMatch(stream, start, name));
        if (checkpoint != nullptr && decoder_->CopyFrom(*checkpoint->decoder)) {
            position = checkpoint->nextBlock;
            return true;
        }
    }
    decoder_->Clear();
    return true;
}

bool RarExtractor::Walk(ArchiveStream& stream, const char* name, const char* password, uint8_t*& output,
                        uint32_t& size)
{
    RarArchiveStart start;
    if (!ReadArchiveStart(stream, log_, start)) return false;
    uint64_t position = start.firstBlock;
    if (!PrepareDecoder(stream, start, name, position)) return false;
    RarBlockHeader block;
    uint64_t sinceCheckpoint = 0;
    for (;;) {
        const RarBlockKind kind = ReadBlock(stream, position, log_, block);
        if (kind == RarBlockKind::End) return false;
        if (kind == RarBlockKind::SubBlock) {
            RAR_LOG(log_, "Sorry, sub-headers not supported.");
            return false;
        }
        position = block.nextBlock;
        if (kind == RarBlockKind::Other) continue;
        if (RarNamesMatch(block.name, name)) break;
        if (!start.solid) continue;
        if (!PassThrough(stream, block, password)) return false;
        sinceCheckpoint += block.unpackedSize;
        if (KeepsCheckpoints(start) && sinceCheckpoint >= RarSolidCache::kCheckpointSpacing) {
            cache_->Add(block.nextBlock, *decoder_);
            sinceCheckpoint = 0;
        }
    }
    size = block.unpackedSize;
    if (!ExtractFound(stream, block, password, output)) {
        std::free(output);
        output = nullptr;
        return false;
    }
    if (KeepsCheckpoints(start)) cache_->Add(block.nextBlock, *decoder_);
    return true;
}

bool RarExtractor::Run(ArchiveStream& stream, const char* name, const char* password, uint8_t*& output,
                       uint32_t& size)
{
    output = nullptr;
    size = 0;
    const bool extracted = Walk(stream, name, password, output, size);
    if (cache_ != nullptr && decoder_) cache_->decoder = std::move(decoder_);
    return extracted;
}
