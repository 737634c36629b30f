#include "engine/par2/repairer.h"

#include <algorithm>
#include <map>
#include <memory>

#include "engine/par2/crc32.h"
#include "engine/par2/galois.h"

namespace tolvane::par2 {
namespace {

constexpr size_t kReadChunk = 1u << 20;

bool ReadAt(platform::File& file, int64_t position, void* buffer, uint64_t count) {
    if (!file.Seek(position)) return false;
    auto* p = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        const int64_t n = file.Read(p, static_cast<int64_t>(count));
        if (n <= 0) return false;
        p += n;
        count -= static_cast<uint64_t>(n);
    }
    return true;
}

bool WriteAt(platform::File& file, int64_t position, const void* data, uint64_t count) {
    if (!file.Seek(position)) return false;
    return file.Write(data, static_cast<int64_t>(count)) == static_cast<int64_t>(count);
}

// Inverts the square matrix m (row-major, n x n) in place; false when singular.
bool Invert(std::vector<uint16_t>& m, size_t n) {
    std::vector<uint16_t> inv(n * n, 0);
    for (size_t i = 0; i < n; ++i) inv[i * n + i] = 1;
    for (size_t col = 0; col < n; ++col) {
        size_t pivot = col;
        while (pivot < n && m[pivot * n + col] == 0) ++pivot;
        if (pivot == n) return false;
        if (pivot != col) {
            for (size_t k = 0; k < n; ++k) {
                std::swap(m[pivot * n + k], m[col * n + k]);
                std::swap(inv[pivot * n + k], inv[col * n + k]);
            }
        }
        const uint16_t p = m[col * n + col];
        for (size_t k = 0; k < n; ++k) {
            m[col * n + k] = gf::Divide(m[col * n + k], p);
            inv[col * n + k] = gf::Divide(inv[col * n + k], p);
        }
        // Rows of 16-bit words in memory are the little-endian words the
        // kernel takes.
        const auto bytes = [](std::vector<uint16_t>& v, size_t row, size_t n) {
            return reinterpret_cast<uint8_t*>(v.data() + row * n);
        };
        for (size_t row = 0; row < n; ++row) {
            const uint16_t f = m[row * n + col];
            if (row == col || f == 0) continue;
            gf::MultiplyAdd(bytes(m, row, n), bytes(m, col, n), 2 * n, f);
            gf::MultiplyAdd(bytes(inv, row, n), bytes(inv, col, n), 2 * n, f);
        }
    }
    m = std::move(inv);
    return true;
}

}  // namespace

uint64_t FileCheck::MissingSlices() const {
    return static_cast<uint64_t>(std::count(goodSlices.begin(), goodSlices.end(), false));
}

bool HashFile(platform::FileSystem& fs, const std::string& path, Md5Digest* digest,
              uint64_t* length, const std::function<void(uint64_t)>& progress) {
    auto file = fs.Open(path, platform::OpenMode::Read);
    if (!file) return false;
    std::vector<uint8_t> buffer(kReadChunk);
    Md5 md5;
    for (;;) {
        const int64_t n = file->Read(buffer.data(), static_cast<int64_t>(buffer.size()));
        if (n < 0) return false;
        if (n == 0) break;
        md5.Update(buffer.data(), static_cast<size_t>(n));
        if (progress) progress(static_cast<uint64_t>(n));
    }
    *digest = md5.Final();
    *length = md5.length();
    return true;
}

FileCheck CheckFile(platform::FileSystem& fs, const std::string& path,
                    const FileDescription& description, const std::vector<SliceChecksum>& slices,
                    uint64_t sliceSize, const std::function<void(uint64_t)>& progress) {
    FileCheck check;
    const uint64_t count = SliceCountOf(description.length, sliceSize);
    check.goodSlices.assign(count, false);
    platform::FileFacts facts;
    if (!fs.Stat(path, &facts) || !facts.isRegular) return check;
    check.state = FileCheck::State::Damaged;
    Md5Digest digest;
    uint64_t length = 0;
    if (static_cast<uint64_t>(facts.size) == description.length &&
        HashFile(fs, path, &digest, &length, progress) && length == description.length &&
        digest == description.hashFull) {
        check.state = FileCheck::State::Intact;
        check.goodSlices.assign(count, true);
        return check;
    }
    // Slice by slice, each in its place; a slice the file does not hold whole
    // (cut off) is missing.
    if (slices.size() != count) return check;
    auto file = fs.Open(path, platform::OpenMode::Read);
    if (!file) return check;
    std::vector<uint8_t> buffer(kReadChunk);
    for (uint64_t s = 0; s < count; ++s) {
        const uint64_t offset = s * sliceSize;
        const uint64_t length = std::min(sliceSize, description.length - offset);
        if (offset + length > static_cast<uint64_t>(facts.size)) break;
        Md5 md5;
        uint32_t crc = 0;
        bool readable = file->Seek(static_cast<int64_t>(offset));
        for (uint64_t at = 0; readable && at < length;) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(kReadChunk, length - at));
            readable = ReadAt(*file, static_cast<int64_t>(offset + at), buffer.data(), n);
            if (!readable) break;
            md5.Update(buffer.data(), n);
            crc = Crc32Update(crc, buffer.data(), n);
            at += n;
        }
        if (!readable) continue;
        md5.UpdateZeros(sliceSize - length);
        crc = Crc32Zeros(crc, sliceSize - length);
        check.goodSlices[s] = slices[s].crc == crc && slices[s].md5 == md5.Final();
    }
    return check;
}

RebuildResult Rebuild(platform::FileSystem& fs, const RecoverySet& set,
                      const std::vector<std::string>& intactPaths,
                      const std::vector<RebuildFile>& targets, uint64_t memoryBudget,
                      const Progress& progress) {
    const uint64_t S = set.sliceSize;
    uint64_t totalSlices = 0;
    const std::vector<uint64_t> firstSlice = set.FirstSlices(&totalSlices);
    std::vector<const RebuildFile*> targetOf(set.files.size(), nullptr);
    for (const RebuildFile& t : targets) {
        if (t.file < set.files.size()) targetOf[t.file] = &t;
    }

    // Every slice: where it is read from, or its place among the unknowns.
    struct Present {
        size_t file;
        uint64_t offset;
        uint64_t length;
        uint16_t constant;
    };
    struct Missing {
        size_t file;
        uint64_t offset;
        uint64_t length;
        uint16_t constant;
    };
    std::vector<Present> present;
    std::vector<Missing> missing;
    uint64_t totalBytes = 0;
    for (size_t f = 0; f < set.files.size(); ++f) {
        const FileDescription& d = set.descriptions.at(set.files[f]);
        const uint64_t count = SliceCountOf(d.length, S);
        for (uint64_t s = 0; s < count; ++s) {
            const uint64_t offset = s * S;
            const uint64_t length = std::min(S, d.length - offset);
            const auto constant = gf::InputConstant(static_cast<uint32_t>(firstSlice[f] + s));
            const RebuildFile* t = targetOf[f];
            const bool good = t == nullptr || (s < t->goodSlices.size() && t->goodSlices[s]);
            if (good) {
                present.push_back({f, offset, length, constant});
            } else {
                missing.push_back({f, offset, length, constant});
            }
            totalBytes += length;
        }
    }
    const size_t m = missing.size();
    if (m > set.recovery.size()) return RebuildResult::NotEnoughRecovery;

    // The first m recovery slices; the matrix of their equations in the
    // unknown slices, inverted.
    std::vector<uint32_t> exponents;
    for (const auto& [exponent, where] : set.recovery) {
        if (exponents.size() == m) break;
        exponents.push_back(exponent);
    }
    std::vector<uint16_t> matrix(m * m);
    for (size_t j = 0; j < m; ++j) {
        for (size_t i = 0; i < m; ++i)
            matrix[j * m + i] = gf::Power(missing[i].constant, exponents[j]);
    }
    if (m > 0 && !Invert(matrix, m)) return RebuildResult::Unsolvable;

    // Open everything before the first byte is written.
    std::map<std::string, std::unique_ptr<platform::File>> readers;
    auto reader = [&](const std::string& path) -> platform::File* {
        auto& slot = readers[path];
        if (!slot) slot = fs.Open(path, platform::OpenMode::Read);
        return slot.get();
    };
    auto pathOf = [&](size_t f) {
        return targetOf[f] != nullptr ? targetOf[f]->readPath : intactPaths.at(f);
    };
    for (const Present& p : present) {
        if (reader(pathOf(p.file)) == nullptr) return RebuildResult::ReadFailed;
    }
    for (uint32_t e : exponents) {
        if (reader(set.recovery.at(e).path) == nullptr) return RebuildResult::ReadFailed;
    }
    std::vector<std::unique_ptr<platform::File>> outputs(set.files.size());
    auto fail = [&](RebuildResult result) {
        outputs.clear();
        for (const RebuildFile& t : targets) fs.Remove(t.outputPath);
        return result;
    };
    for (const RebuildFile& t : targets) {
        outputs[t.file] = fs.Open(t.outputPath, platform::OpenMode::CreateTruncate);
        if (!outputs[t.file]) return fail(RebuildResult::WriteFailed);
    }

    const uint64_t window = WindowFor(S, 2 * m + 1, memoryBudget);
    std::vector<uint8_t> sums(window * m);
    std::vector<uint8_t> result(window * m);
    std::vector<uint8_t> buffer(std::max<uint64_t>(window, kReadChunk));
    uint64_t done = 0;
    for (uint64_t w0 = 0; m > 0 && w0 < S; w0 += window) {
        const uint64_t w = std::min(window, S - w0);
        for (size_t j = 0; j < m; ++j) {
            const RecoverySliceRef& ref = set.recovery.at(exponents[j]);
            if (!ReadAt(*reader(ref.path), ref.offset + int64_t(w0), sums.data() + j * window, w)) {
                return fail(RebuildResult::ReadFailed);
            }
        }
        for (const Present& p : present) {
            if (w0 >= p.length) continue;
            const uint64_t n = std::min(w, p.length - w0);
            if (!ReadAt(*reader(pathOf(p.file)), int64_t(p.offset + w0), buffer.data(), n)) {
                return fail(RebuildResult::ReadFailed);
            }
            if (n % 2 != 0) buffer[n] = 0;
            for (size_t j = 0; j < m; ++j) {
                gf::MultiplyAdd(sums.data() + j * window, buffer.data(), size_t(n + n % 2),
                                gf::Power(p.constant, exponents[j]));
            }
            done += n;
            if (progress) progress(done, totalBytes);
        }
        std::fill(result.begin(), result.end(), 0);
        for (size_t i = 0; i < m; ++i) {
            for (size_t j = 0; j < m; ++j) {
                gf::MultiplyAdd(result.data() + i * window, sums.data() + j * window, size_t(w),
                                matrix[i * m + j]);
            }
            const Missing& x = missing[i];
            if (w0 >= x.length) continue;
            const uint64_t n = std::min(w, x.length - w0);
            if (!WriteAt(*outputs[x.file], int64_t(x.offset + w0), result.data() + i * window, n)) {
                return fail(RebuildResult::WriteFailed);
            }
            done += n;
            if (progress) progress(done, totalBytes);
        }
    }
    // The intact slices of the rebuilt files, copied from where they were found.
    for (const Present& p : present) {
        if (targetOf[p.file] == nullptr) continue;
        platform::File* from = reader(pathOf(p.file));
        for (uint64_t at = 0; at < p.length;) {
            const uint64_t n = std::min<uint64_t>(buffer.size(), p.length - at);
            if (!ReadAt(*from, int64_t(p.offset + at), buffer.data(), n)) {
                return fail(RebuildResult::ReadFailed);
            }
            if (!WriteAt(*outputs[p.file], int64_t(p.offset + at), buffer.data(), n)) {
                return fail(RebuildResult::WriteFailed);
            }
            at += n;
        }
    }
    for (const RebuildFile& t : targets) {
        if (!outputs[t.file]->Flush()) return fail(RebuildResult::WriteFailed);
    }
    outputs.clear();
    return RebuildResult::Done;
}

}  // namespace tolvane::par2
