#include "engine/par2/repairer.h"

#include <algorithm>
#include <functional>
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

// Inverts the square matrix m (row-major, n x n) in place (Gauss-Jordan with
// row pivoting, so no second matrix is held); false when singular or
// stopped. stepDone runs after each column; it returns false to stop.
bool Invert(std::vector<uint16_t>& m, size_t n, const std::function<bool()>& stepDone) {
    std::vector<size_t> pivotRow(n);
    // Rows of 16-bit words in memory are the little-endian words the kernel takes.
    const auto row = [&](size_t r) { return reinterpret_cast<uint8_t*>(m.data() + r * n); };
    for (size_t col = 0; col < n; ++col) {
        size_t pivot = col;
        while (pivot < n && m[pivot * n + col] == 0) ++pivot;
        if (pivot == n) return false;
        pivotRow[col] = pivot;
        if (pivot != col)
            std::swap_ranges(m.begin() + pivot * n, m.begin() + (pivot + 1) * n,
                             m.begin() + col * n);
        const uint16_t inverse = gf::Divide(1, m[col * n + col]);
        m[col * n + col] = 1;
        for (size_t k = 0; k < n; ++k) m[col * n + k] = gf::Multiply(m[col * n + k], inverse);
        for (size_t r = 0; r < n; ++r) {
            const uint16_t f = m[r * n + col];
            if (r == col || f == 0) continue;
            m[r * n + col] = 0;
            gf::MultiplyAdd(row(r), row(col), 2 * n, f);
        }
        if (!stepDone()) return false;
    }
    // The row swaps come back as column swaps, last first.
    for (size_t col = n; col-- > 0;) {
        if (pivotRow[col] == col) continue;
        for (size_t r = 0; r < n; ++r) std::swap(m[r * n + col], m[r * n + pivotRow[col]]);
    }
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

uint64_t MaxUnknowns(uint64_t memoryBudget) {
    // The matrix (2 m² bytes) and the sums and results of the smallest
    // window (2 m x 64 bytes).
    uint64_t m = 0;
    const auto fits = [&](uint64_t n) { return 2 * n * n + 2 * n * 64 <= memoryBudget; };
    for (uint64_t step = uint64_t(1) << 20; step > 0; step /= 2) {
        if (fits(m + step)) m += step;
    }
    return m;
}

RebuildResult Rebuild(platform::FileSystem& fs, const RecoverySet& set,
                      const std::vector<std::string>& intactPaths,
                      const std::vector<RebuildFile>& targets, uint64_t memoryBudget,
                      const Progress& progress, const std::atomic<bool>* stop) {
    const uint64_t S = set.sliceSize;
    uint64_t totalSlices = 0;
    const std::vector<uint64_t> firstSlice = set.FirstSlices(&totalSlices);
    std::vector<const RebuildFile*> targetOf(set.files.size(), nullptr);
    for (const RebuildFile& t : targets) {
        if (t.file < set.files.size()) targetOf[t.file] = &t;
    }
    const auto written = [&](size_t f) {
        return targetOf[f] != nullptr && !targetOf[f]->outputPath.empty();
    };

    // Every slice: where it is read from, or its place among the unknowns.
    struct Slice {
        size_t file;
        uint64_t offset;
        uint64_t length;
        uint16_t constant;
    };
    std::vector<Slice> present;
    std::vector<Slice> missing;
    uint64_t presentBytes = 0;
    uint64_t missingBytes = 0;
    uint64_t copyBytes = 0;
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
                presentBytes += length;
                if (written(f)) copyBytes += length;
            } else {
                missing.push_back({f, offset, length, constant});
                missingBytes += length;
            }
        }
    }
    const size_t m = missing.size();
    if (m > set.recovery.size()) return RebuildResult::NotEnoughRecovery;
    if (m > MaxUnknowns(memoryBudget)) return RebuildResult::TooManyUnknowns;

    // Work in bytes through the multiply-add kernel: the inversion, the
    // sums over the present slices, the results; then the copies.
    const uint64_t solveWork = 2 * uint64_t(m) * m * m;
    const uint64_t totalWork = solveWork + (presentBytes + missingBytes) * m + copyBytes;
    uint64_t done = 0;
    const auto step = [&](uint64_t work) {
        done += work;
        if (progress) progress(done, totalWork);
        return stop == nullptr || !stop->load();
    };

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
        if (stop != nullptr && stop->load()) return RebuildResult::Stopped;
    }
    if (m > 0 && !Invert(matrix, m, [&] { return step(2 * uint64_t(m) * m); })) {
        return stop != nullptr && stop->load() ? RebuildResult::Stopped : RebuildResult::Unsolvable;
    }

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
    for (const Slice& p : present) {
        if (reader(pathOf(p.file)) == nullptr) return RebuildResult::ReadFailed;
    }
    for (uint32_t e : exponents) {
        if (reader(set.recovery.at(e).path) == nullptr) return RebuildResult::ReadFailed;
    }
    std::vector<std::shared_ptr<platform::File>> outputs(set.files.size());
    std::vector<std::string> created;
    auto fail = [&](RebuildResult result) {
        outputs.clear();
        for (const std::string& path : created) fs.Remove(path);
        return result;
    };
    for (const RebuildFile& t : targets) {
        if (t.outputPath.empty()) continue;
        outputs[t.file] =
            t.output ? t.output : fs.Open(t.outputPath, platform::OpenMode::CreateNew);
        if (!outputs[t.file]) return fail(RebuildResult::WriteFailed);
        created.push_back(t.outputPath);
    }

    const uint64_t matrixBytes = 2 * uint64_t(m) * m;
    const uint64_t window = WindowFor(S, 2 * m + 1, memoryBudget - matrixBytes);
    std::vector<uint8_t> sums(window * m);
    std::vector<uint8_t> result(window * m);
    std::vector<uint8_t> buffer(std::max<uint64_t>(window, kReadChunk));
    for (uint64_t w0 = 0; m > 0 && w0 < S; w0 += window) {
        const uint64_t w = std::min(window, S - w0);
        for (size_t j = 0; j < m; ++j) {
            const RecoverySliceRef& ref = set.recovery.at(exponents[j]);
            if (!ReadAt(*reader(ref.path), ref.offset + int64_t(w0), sums.data() + j * window, w)) {
                return fail(RebuildResult::ReadFailed);
            }
        }
        for (const Slice& p : present) {
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
            if (!step(n * m)) return fail(RebuildResult::Stopped);
        }
        std::fill(result.begin(), result.end(), 0);
        for (size_t i = 0; i < m; ++i) {
            for (size_t j = 0; j < m; ++j) {
                gf::MultiplyAdd(result.data() + i * window, sums.data() + j * window, size_t(w),
                                matrix[i * m + j]);
            }
            const Slice& x = missing[i];
            if (w0 >= x.length) continue;
            const uint64_t n = std::min(w, x.length - w0);
            if (outputs[x.file] &&
                !WriteAt(*outputs[x.file], int64_t(x.offset + w0), result.data() + i * window, n)) {
                return fail(RebuildResult::WriteFailed);
            }
            if (!step(n * m)) return fail(RebuildResult::Stopped);
        }
    }
    // The intact slices of the rebuilt files, copied from where they were found.
    for (const Slice& p : present) {
        if (!written(p.file)) continue;
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
            if (!step(n)) return fail(RebuildResult::Stopped);
        }
    }
    for (const auto& output : outputs) {
        if (output && !output->Flush()) return fail(RebuildResult::WriteFailed);
    }
    outputs.clear();
    return RebuildResult::Done;
}

}  // namespace tolvane::par2
