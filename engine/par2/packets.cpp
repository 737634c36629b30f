#include "engine/par2/packets.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace tolvane::par2 {

const char kTypeMain[16] = {'P', 'A', 'R', ' ', '2',  '.',  '0',  '\0',
                            'M', 'a', 'i', 'n', '\0', '\0', '\0', '\0'};
const char kTypeFileDescription[16] = {'P', 'A', 'R', ' ', '2', '.', '0', '\0',
                                       'F', 'i', 'l', 'e', 'D', 'e', 's', 'c'};
const char kTypeSliceChecksums[16] = {'P', 'A', 'R', ' ', '2',  '.',  '0',  '\0',
                                      'I', 'F', 'S', 'C', '\0', '\0', '\0', '\0'};
const char kTypeRecoverySlice[16] = {'P', 'A', 'R', ' ', '2', '.', '0', '\0',
                                     'R', 'e', 'c', 'v', 'S', 'l', 'i', 'c'};
const char kTypeCreator[16] = {'P', 'A', 'R', ' ', '2', '.', '0', '\0',
                               'C', 'r', 'e', 'a', 't', 'o', 'r', '\0'};

namespace {

constexpr char kMagic[8] = {'P', 'A', 'R', '2', '\0', 'P', 'K', 'T'};
// A packet other than a recovery slice is read whole; one larger than this
// is not from a set the reader can use (32768 slices need 640 KiB).
constexpr uint64_t kMaxHeldPacket = 4u << 20;
// All packets kept from every file together.
constexpr uint64_t kMaxHeldTotal = 16u << 20;
constexpr size_t kStreamChunk = 1u << 20;

void PutLe(std::string* out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>(value >> (8 * i)));
}

uint64_t GetLe(const uint8_t* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

void PutDigest(std::string* out, const Md5Digest& d) {
    out->append(reinterpret_cast<const char*>(d.data()), d.size());
}

Md5Digest GetDigest(const uint8_t* p) {
    Md5Digest d;
    std::memcpy(d.data(), p, d.size());
    return d;
}

void PadToFour(std::string* body) {
    while (body->size() % 4 != 0) body->push_back('\0');
}

bool ReadAt(platform::File& file, int64_t position, void* buffer, int64_t count) {
    if (!file.Seek(position)) return false;
    auto* p = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        const int64_t n = file.Read(p, count);
        if (n <= 0) return false;
        p += n;
        count -= n;
    }
    return true;
}

// A window of a file kept in memory: packet headers and the search for the
// next magic are served from it, so scanning damaged stretches reads each
// byte about once.
class Window {
  public:
    Window(platform::File& file, int64_t size) : file_(file), size_(size), bytes_(64 * 1024) {}

    // count bytes at position (count at most the window's size); false when
    // they cannot be read.
    bool Read(int64_t position, void* buffer, int64_t count) {
        if (!Load(position, count)) return false;
        std::memcpy(buffer, bytes_.data() + (position - start_), static_cast<size_t>(count));
        return true;
    }

    // Position of the next packet magic at or after from; -1 when there is
    // none (or the file cannot be read further).
    int64_t NextMagic(int64_t from) {
        const auto magic = static_cast<int64_t>(sizeof kMagic);
        while (from + magic <= size_) {
            // What the window holds from here on, or a fresh window here.
            if (from < start_ || from + magic > start_ + length_) {
                const int64_t fresh =
                    std::min<int64_t>(static_cast<int64_t>(bytes_.size()), size_ - from);
                if (!Load(from, fresh)) return -1;
            }
            const int64_t count = start_ + length_ - from;
            const auto begin = bytes_.begin() + (from - start_);
            const auto end = begin + count;
            const auto hit = std::search(begin, end, std::begin(kMagic), std::end(kMagic));
            if (hit != end) return from + (hit - begin);
            // The magic may straddle the end of this stretch.
            from += count - magic + 1;
        }
        return -1;
    }

  private:
    bool Load(int64_t position, int64_t count) {
        if (position >= start_ && position + count <= start_ + length_) return true;
        length_ = std::min<int64_t>(static_cast<int64_t>(bytes_.size()), size_ - position);
        start_ = position;
        if (length_ < count || !ReadAt(file_, position, bytes_.data(), length_)) {
            length_ = 0;
            return false;
        }
        return true;
    }

    platform::File& file_;
    int64_t size_;
    std::vector<uint8_t> bytes_;
    int64_t start_ = 0;
    int64_t length_ = 0;
};

}  // namespace

bool FileIdLess(const Md5Digest& a, const Md5Digest& b) {
    for (int i = 15; i >= 0; --i) {
        if (a[i] != b[i]) return a[i] < b[i];
    }
    return false;
}

Md5Digest FileIdOf(const Md5Digest& hash16k, uint64_t length, const std::string& name) {
    std::string bytes;
    PutDigest(&bytes, hash16k);
    PutLe(&bytes, length, 8);
    bytes += name;
    return Md5Of(bytes.data(), bytes.size());
}

uint64_t SliceCountOf(uint64_t length, uint64_t sliceSize) {
    return sliceSize == 0 ? 0 : (length + sliceSize - 1) / sliceSize;
}

std::string MainBody(uint64_t sliceSize, const std::vector<Md5Digest>& sortedFileIds) {
    std::string body;
    PutLe(&body, sliceSize, 8);
    PutLe(&body, sortedFileIds.size(), 4);
    for (const Md5Digest& id : sortedFileIds) PutDigest(&body, id);
    return body;
}

std::string FileDescriptionBody(const FileDescription& d) {
    std::string body;
    PutDigest(&body, d.fileId);
    PutDigest(&body, d.hashFull);
    PutDigest(&body, d.hash16k);
    PutLe(&body, d.length, 8);
    body += d.name;
    PadToFour(&body);
    return body;
}

std::string SliceChecksumBody(const Md5Digest& fileId, const std::vector<SliceChecksum>& slices) {
    std::string body;
    PutDigest(&body, fileId);
    for (const SliceChecksum& s : slices) {
        PutDigest(&body, s.md5);
        PutLe(&body, s.crc, 4);
    }
    return body;
}

std::string CreatorBody(const std::string& creator) {
    std::string body = creator;
    PadToFour(&body);
    return body;
}

std::string Packet(const Md5Digest& setId, const char type[16], const std::string& body) {
    std::string hashed;
    PutDigest(&hashed, setId);
    hashed.append(type, 16);
    hashed += body;
    std::string packet(kMagic, sizeof kMagic);
    PutLe(&packet, kPacketHeaderSize + body.size(), 8);
    PutDigest(&packet, Md5Of(hashed.data(), hashed.size()));
    packet += hashed;
    return packet;
}

std::string RecoveryHashPrefix(const Md5Digest& setId, uint32_t exponent) {
    std::string prefix;
    PutDigest(&prefix, setId);
    prefix.append(kTypeRecoverySlice, 16);
    PutLe(&prefix, exponent, 4);
    return prefix;
}

std::string RecoveryPacketHead(const Md5Digest& setId, uint32_t exponent, uint64_t sliceSize,
                               const Md5Digest& packetHash) {
    std::string head(kMagic, sizeof kMagic);
    PutLe(&head, kRecoveryPacketOverhead + sliceSize, 8);
    PutDigest(&head, packetHash);
    head += RecoveryHashPrefix(setId, exponent);
    return head;
}

bool RecoverySet::Complete() const {
    for (const Md5Digest& id : files) {
        if (descriptions.count(id) == 0 || checksums.count(id) == 0) return false;
    }
    return !files.empty();
}

std::vector<uint64_t> RecoverySet::FirstSlices(uint64_t* total) const {
    std::vector<uint64_t> first;
    uint64_t next = 0;
    for (const Md5Digest& id : files) {
        first.push_back(next);
        const auto d = descriptions.find(id);
        if (d != descriptions.end()) next += SliceCountOf(d->second.length, sliceSize);
    }
    *total = next;
    return first;
}

bool RecoveryReader::ReadFile(const std::string& path) {
    platform::FileFacts facts;
    if (!fs_.Stat(path, &facts) || !facts.isRegular) return false;
    auto file = fs_.Open(path, platform::OpenMode::Read);
    if (!file) return false;
    const int64_t size = facts.size;
    std::vector<uint8_t> chunk;
    Window window(*file, size);
    int64_t wasted = 0;
    int64_t pos = 0;
    while (pos + static_cast<int64_t>(kPacketHeaderSize) <= size) {
        uint8_t head[kPacketHeaderSize];
        if (!window.Read(pos, head, sizeof head)) return false;
        if (std::memcmp(head, kMagic, sizeof kMagic) == 0) {
            const uint64_t length = GetLe(head + 8, 8);
            const std::string type(reinterpret_cast<const char*>(head + 48), 16);
            const Md5Digest setId = GetDigest(head + 32);
            const Md5Digest stated = GetDigest(head + 16);
            bool taken = false;
            // Packets whose checksum fails cost a read of their length each;
            // a file of such headers one behind the other must not be read
            // over and over (quadratic time): past twice the file's size in
            // failed reads, a packet that claims more than a header is left.
            const bool affordable = wasted <= 2 * size + (1 << 20) || length == kPacketHeaderSize;
            if (affordable && length >= kPacketHeaderSize && length % 4 == 0 &&
                length <= static_cast<uint64_t>(size - pos)) {
                if (type == std::string(kTypeRecoverySlice, 16)) {
                    // The slice is hashed as it streams by, never held.
                    if (length >= kRecoveryPacketOverhead) {
                        Md5 md5;
                        md5.Update(head + 32, 32);
                        chunk.resize(kStreamChunk);
                        int64_t at = pos + static_cast<int64_t>(kPacketHeaderSize);
                        const int64_t end = pos + static_cast<int64_t>(length);
                        uint8_t exponentBytes[4] = {};
                        bool readable = true;
                        while (at < end) {
                            const int64_t n = std::min<int64_t>(end - at, kStreamChunk);
                            if (!ReadAt(*file, at, chunk.data(), n)) {
                                readable = false;
                                break;
                            }
                            if (at == pos + static_cast<int64_t>(kPacketHeaderSize)) {
                                std::memcpy(exponentBytes, chunk.data(), 4);
                            }
                            md5.Update(chunk.data(), static_cast<size_t>(n));
                            at += n;
                        }
                        if (!readable) return false;
                        if (md5.Final() == stated) {
                            const auto exponent = static_cast<uint32_t>(GetLe(exponentBytes, 4));
                            const auto key = std::make_pair(setId, exponent);
                            const uint64_t sliceLength = length - kRecoveryPacketOverhead;
                            // Copies held are bounded, whatever the file.
                            auto copies = pending_.recovery.find(key);
                            if (copies == pending_.recovery.end() &&
                                pending_.recoveryCopies < 65536) {
                                copies = pending_.recovery.emplace(key, 0).first;
                            }
                            const bool known =
                                copies == pending_.recovery.end() ||
                                std::any_of(copies->second.begin(), copies->second.end(),
                                            [&](const auto& c) {
                                                return c.size == sliceLength && c.hash == stated;
                                            });
                            if (!known && pending_.recoveryCopies < 65536) {
                                copies->second.push_back(
                                    {{path, pos + static_cast<int64_t>(kRecoveryPacketOverhead)},
                                     sliceLength,
                                     stated});
                                ++pending_.recoveryCopies;
                            }
                            taken = true;
                        }
                    }
                } else if (length <= kMaxHeldPacket && keptBytes_ + length <= kMaxHeldTotal) {
                    chunk.resize(length);
                    if (!ReadAt(*file, pos, chunk.data(), static_cast<int64_t>(length))) {
                        return false;
                    }
                    if (Md5Of(chunk.data() + 32, length - 32) == stated) {
                        TakePacket(type, setId, chunk.data() + kPacketHeaderSize,
                                   length - kPacketHeaderSize);
                        taken = true;
                    }
                }
            }
            if (taken) {
                if (pending_.paths.size() < 65536 || pending_.paths.count(setId) != 0) {
                    auto& paths = pending_.paths[setId];
                    if (paths.empty() || paths.back() != path) paths.push_back(path);
                }
                ++good_;
                pos += static_cast<int64_t>(length);
                continue;
            }
            if (affordable && length <= static_cast<uint64_t>(size - pos)) {
                wasted += static_cast<int64_t>(length);
            }
            ++damaged_;
        }
        pos = window.NextMagic(pos + 1);
        if (pos < 0) break;
    }
    return true;
}

void RecoveryReader::TakePacket(const std::string& type, const Md5Digest& setId,
                                const uint8_t* body, size_t length) {
    auto sense = [&](bool ok) {
        if (!ok) {
            --good_;
            ++damaged_;
        }
    };
    if (type == std::string(kTypeMain, 16)) {
        if (length < 12 || (length - 12) % 16 != 0) return sense(false);
        const uint64_t sliceSize = GetLe(body, 8);
        const uint64_t count = GetLe(body + 8, 4);
        const uint64_t ids = (length - 12) / 16;
        // The set ID is the MD5 of the main packet's body.
        if (sliceSize == 0 || sliceSize % 4 != 0 || count == 0 || count > ids ||
            count > kMaxInputSlices || Md5Of(body, length) != setId) {
            return sense(false);
        }
        if (pending_.sliceSize.count(setId) != 0) return;
        std::vector<Md5Digest> files;
        for (uint64_t i = 0; i < count; ++i) files.push_back(GetDigest(body + 12 + 16 * i));
        pending_.sliceSize[setId] = sliceSize;
        pending_.files[setId] = std::move(files);
        keptBytes_ += length;
    } else if (type == std::string(kTypeFileDescription, 16)) {
        if (length < 56) return sense(false);
        FileDescription d;
        d.fileId = GetDigest(body);
        d.hashFull = GetDigest(body + 16);
        d.hash16k = GetDigest(body + 32);
        d.length = GetLe(body + 48, 8);
        const char* name = reinterpret_cast<const char*>(body + 56);
        d.name.assign(name, strnlen(name, length - 56));
        const auto key = std::make_pair(setId, d.fileId);
        if (pending_.descriptions.count(key) != 0) return;
        keptBytes_ += length;
        pending_.descriptions[key] = std::move(d);
    } else if (type == std::string(kTypeSliceChecksums, 16)) {
        if (length < 16 || (length - 16) % 20 != 0) return sense(false);
        const auto key = std::make_pair(setId, GetDigest(body));
        if (pending_.checksums.count(key) != 0) return;
        std::vector<SliceChecksum> slices((length - 16) / 20);
        for (size_t i = 0; i < slices.size(); ++i) {
            slices[i].md5 = GetDigest(body + 16 + 20 * i);
            slices[i].crc = static_cast<uint32_t>(GetLe(body + 16 + 20 * i + 16, 4));
        }
        keptBytes_ += length;
        pending_.checksums[key] = std::move(slices);
    }
    // Creator and unknown packets carry nothing the reader needs.
}

std::vector<RecoverySet> RecoveryReader::Sets() const {
    std::vector<RecoverySet> sets;
    for (const auto& [setId, sliceSize] : pending_.sliceSize) {
        RecoverySet set;
        set.setId = setId;
        set.sliceSize = sliceSize;
        set.files = pending_.files.at(setId);
        // A set of more slices than there are constants cannot be computed.
        uint64_t slices = 0;
        for (const Md5Digest& id : set.files) {
            const auto d = pending_.descriptions.find({setId, id});
            if (d != pending_.descriptions.end()) {
                slices += std::min<uint64_t>(SliceCountOf(d->second.length, sliceSize),
                                             kMaxInputSlices + 1);
            }
        }
        if (slices > kMaxInputSlices) continue;
        for (const Md5Digest& id : set.files) {
            const auto d = pending_.descriptions.find({setId, id});
            if (d == pending_.descriptions.end()) continue;
            set.descriptions[id] = d->second;
            const auto c = pending_.checksums.find({setId, id});
            // Checksums that do not fit the file's length are of no use.
            if (c != pending_.checksums.end() &&
                c->second.size() == SliceCountOf(d->second.length, sliceSize)) {
                set.checksums[id] = c->second;
            }
        }
        for (const auto& [key, copies] : pending_.recovery) {
            if (key.first != setId || key.second >= kMaxExponent) continue;
            for (const auto& copy : copies) {
                if (copy.size != sliceSize) continue;
                if (set.recovery.count(key.second) == 0) {
                    set.recovery[key.second] = copy.where;
                } else {
                    set.spareRecovery.insert({key.second, copy.where});
                }
            }
        }
        const auto paths = pending_.paths.find(setId);
        if (paths != pending_.paths.end()) set.paths = paths->second;
        sets.push_back(std::move(set));
    }
    return sets;
}

}  // namespace tolvane::par2
