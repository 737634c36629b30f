#include "engine/par2/creator.h"

#include <algorithm>
#include <memory>

#include "engine/par2/crc32.h"
#include "engine/par2/galois.h"

namespace tolvane::par2 {
namespace {

constexpr size_t kReadChunk = 1u << 20;

bool WriteAt(platform::File& file, int64_t position, const void* data, uint64_t count) {
    if (!file.Seek(position)) return false;
    return file.Write(data, static_cast<int64_t>(count)) == static_cast<int64_t>(count);
}

}  // namespace

uint64_t WindowFor(uint64_t sliceSize, uint64_t buffers, uint64_t budget) {
    uint64_t window = budget / std::max<uint64_t>(buffers, 1);
    window -= window % 64;
    window = std::max<uint64_t>(window, 64);
    return std::min(window, sliceSize);
}

Failure Describe(InputSource& input, const std::vector<InputFile>& files, uint64_t sliceSize,
                 const std::string& creator, SetDescription* d, const Progress& progress) {
    *d = SetDescription();
    d->sliceSize = sliceSize;
    uint64_t totalSlices = 0;
    uint64_t totalBytes = 0;
    for (const InputFile& f : files) {
        totalSlices += SliceCountOf(f.length, sliceSize);
        totalBytes += f.length;
    }
    if (totalSlices > kMaxInputSlices || files.empty()) return Failure::TooManySlices;

    std::vector<uint8_t> buffer(kReadChunk);
    uint64_t done = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        const InputFile& f = files[i];
        const uint64_t sliceCount = SliceCountOf(f.length, sliceSize);
        Md5 whole, first16k, slice;
        uint32_t crc = 0;
        uint64_t inSlice = 0;
        std::vector<SliceChecksum> checksums;
        auto closeSlice = [&] {
            // A short last slice counts as if padded with zeros. A file of one
            // slice shares the hash of the whole file.
            const uint64_t pad = sliceSize - inSlice;
            Md5 padded = sliceCount == 1 ? whole : slice;
            padded.UpdateZeros(pad);
            checksums.push_back({padded.Final(), Crc32Zeros(crc, pad)});
            slice = Md5();
            crc = 0;
            inSlice = 0;
        };
        for (uint64_t at = 0; at < f.length;) {
            const size_t n = static_cast<size_t>(
                std::min<uint64_t>({kReadChunk, f.length - at, sliceSize - inSlice}));
            if (!input.Read(i, at, buffer.data(), n)) return Failure::Read;
            whole.Update(buffer.data(), n);
            if (at < 16384) first16k.Update(buffer.data(), std::min<size_t>(n, 16384 - at));
            if (sliceCount > 1) slice.Update(buffer.data(), n);
            crc = Crc32Update(crc, buffer.data(), n);
            at += n;
            inSlice += n;
            done += n;
            if (inSlice == sliceSize) closeSlice();
            if (progress) progress(done, totalBytes);
        }
        if (inSlice > 0) closeSlice();
        FileDescription desc;
        desc.name = f.name;
        desc.length = f.length;
        desc.hashFull = whole.Final();
        desc.hash16k = first16k.Final();
        desc.fileId = FileIdOf(desc.hash16k, desc.length, desc.name);
        d->files.push_back(desc);
        d->slices.push_back(std::move(checksums));
    }

    d->order.resize(files.size());
    for (size_t i = 0; i < files.size(); ++i) d->order[i] = i;
    std::stable_sort(d->order.begin(), d->order.end(), [&](size_t a, size_t b) {
        return FileIdLess(d->files[a].fileId, d->files[b].fileId);
    });
    std::vector<Md5Digest> ids;
    for (size_t i : d->order) ids.push_back(d->files[i].fileId);
    const std::string main = MainBody(sliceSize, ids);
    d->setId = Md5Of(main.data(), main.size());
    d->criticalPackets = Packet(d->setId, kTypeMain, main);
    for (size_t i : d->order) {
        d->criticalPackets +=
            Packet(d->setId, kTypeFileDescription, FileDescriptionBody(d->files[i]));
        d->criticalPackets += Packet(d->setId, kTypeSliceChecksums,
                                     SliceChecksumBody(d->files[i].fileId, d->slices[i]));
    }
    d->criticalPackets += Packet(d->setId, kTypeCreator, CreatorBody(creator));
    return Failure::None;
}

Failure WriteIndexFile(platform::FileSystem& fs, const std::string& path, const SetDescription& d) {
    auto file = fs.Open(path, platform::OpenMode::CreateTruncate);
    if (!file) return Failure::Write;
    const auto size = static_cast<int64_t>(d.criticalPackets.size());
    if (file->Write(d.criticalPackets.data(), size) != size || !file->Flush()) {
        file.reset();
        fs.Remove(path);
        return Failure::Write;
    }
    return Failure::None;
}

uint64_t RecoveryFileSize(const SetDescription& d, uint32_t count) {
    return d.criticalPackets.size() + uint64_t(count) * (kRecoveryPacketOverhead + d.sliceSize);
}

Failure WriteRecoveryFiles(platform::FileSystem& fs, InputSource& input, const SetDescription& d,
                           const std::vector<RecoveryFile>& outputs, uint64_t memoryBudget,
                           const Progress& progress) {
    struct Block {
        size_t file;
        uint32_t exponent;
        int64_t dataOffset;  // of the slice in its file
        Md5 md5;
    };
    std::vector<std::unique_ptr<platform::File>> files;
    std::vector<Block> blocks;
    auto fail = [&](Failure failure) {
        files.clear();
        for (const RecoveryFile& out : outputs) fs.Remove(out.path);
        return failure;
    };
    for (size_t f = 0; f < outputs.size(); ++f) {
        auto file = fs.Open(outputs[f].path, platform::OpenMode::CreateTruncate);
        if (!file) return fail(Failure::Write);
        if (!WriteAt(*file, 0, d.criticalPackets.data(), d.criticalPackets.size())) {
            files.push_back(std::move(file));
            return fail(Failure::Write);
        }
        files.push_back(std::move(file));
        int64_t at = static_cast<int64_t>(d.criticalPackets.size());
        for (uint32_t k = 0; k < outputs[f].count; ++k) {
            Block b{f, outputs[f].firstExponent + k, at + int64_t(kRecoveryPacketOverhead), Md5()};
            const std::string prefix = RecoveryHashPrefix(d.setId, b.exponent);
            b.md5.Update(prefix.data(), prefix.size());
            blocks.push_back(std::move(b));
            at += static_cast<int64_t>(kRecoveryPacketOverhead + d.sliceSize);
        }
    }

    // The input slices in the set's order, each with its constant.
    struct Slice {
        size_t file;
        uint64_t offset;
        uint64_t length;  // bytes of the file in this slice
        uint16_t constant;
    };
    std::vector<Slice> slices;
    uint32_t index = 0;
    uint64_t totalBytes = 0;
    for (size_t i : d.order) {
        const uint64_t length = d.files[i].length;
        for (uint64_t s = 0; s * d.sliceSize < length; ++s, ++index) {
            const uint64_t offset = s * d.sliceSize;
            slices.push_back(
                {i, offset, std::min(d.sliceSize, length - offset), gf::InputConstant(index)});
        }
        totalBytes += length;
    }

    const uint64_t window = WindowFor(d.sliceSize, blocks.size() + 1, memoryBudget);
    std::vector<uint8_t> accumulators(window * blocks.size());
    std::vector<uint8_t> buffer(window);
    uint64_t done = 0;
    for (uint64_t w0 = 0; w0 < d.sliceSize; w0 += window) {
        const uint64_t w = std::min(window, d.sliceSize - w0);
        std::fill(accumulators.begin(), accumulators.end(), 0);
        for (const Slice& s : slices) {
            if (w0 >= s.length) continue;
            const uint64_t n = std::min(w, s.length - w0);
            if (!input.Read(s.file, s.offset + w0, buffer.data(), static_cast<size_t>(n))) {
                return fail(Failure::Read);
            }
            if (n % 2 != 0) buffer[n] = 0;
            for (size_t b = 0; b < blocks.size(); ++b) {
                gf::MultiplyAdd(accumulators.data() + b * window, buffer.data(),
                                static_cast<size_t>(n + n % 2),
                                gf::Power(s.constant, blocks[b].exponent));
            }
            done += n;
            if (progress) progress(done, totalBytes);
        }
        for (size_t b = 0; b < blocks.size(); ++b) {
            const uint8_t* data = accumulators.data() + b * window;
            blocks[b].md5.Update(data, static_cast<size_t>(w));
            if (!WriteAt(*files[blocks[b].file], blocks[b].dataOffset + int64_t(w0), data, w)) {
                return fail(Failure::Write);
            }
        }
    }
    for (const Block& b : blocks) {
        const std::string head =
            RecoveryPacketHead(d.setId, b.exponent, d.sliceSize, b.md5.Final());
        if (!WriteAt(*files[b.file], b.dataOffset - int64_t(kRecoveryPacketOverhead), head.data(),
                     head.size())) {
            return fail(Failure::Write);
        }
    }
    for (auto& file : files) {
        if (!file->Flush()) return fail(Failure::Write);
    }
    files.clear();
    return Failure::None;
}

}  // namespace tolvane::par2
