// The archive set: the ordered list of archived files with their sizes, times
// and per-file progress, the totals of the set, and the position a running copy
// has reached. Beside it stand the ArchiveSettings of the current task.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/copy_pace.h"
#include "engine/display.h"
#include "engine/platform/file_system.h"

namespace tolvane {

using platform::SystemTime;

class RestoreVariant;  // engine/extractor.h
struct FixedHead;      // engine/volume_header.h
struct TextPart;       // engine/volume_header.h

inline constexpr int64_t kDefaultVolumeSize = 1441792;  // 3.5" 1.44 MB
inline constexpr int64_t kStubAreaSize = 66560;         // robot image + zero bytes
inline constexpr int64_t kChunkSize = 262144;           // one transfer buffer

struct ArchiveSettings {
    int64_t volumeSize = kDefaultVolumeSize;  // kept for the whole run
    int volumeCount = 0;
    int selfExtracting = 0;
    int currentVolume = 1;
    std::string targetRoot;   // root chosen with the drive buttons
    std::string targetPath;   // volume to write, or the folder to restore into
    std::string packagePath;  // volume chosen for reading
    std::string robotPath;    // the robot image file "Robot.dat"
    // Recovery data with the split: whether it is wanted, for how many lost
    // or damaged volumes (1 to 99, kept while unticked), and the bytes the
    // split wrote (0 until it has).
    int recoveryData = 0;
    int recoveryVolumes = 1;
    int64_t recoveryBytes = 0;

    // What showing the start page does to the settings (volumeSize stays).
    void ClearForStartPage();
};

struct FileEntry {
    FileEntry* next = nullptr;
    std::string path;  // source path, or "/" + stored name after readHeader
    int64_t size = 0;
    int64_t done = 0;
    SystemTime lastWrite;
    // The name's bytes as the header read back held them (empty for a file
    // added from disk): written again unchanged.
    std::string headerName;
    // The file a restore made (or went on with) for this entry; {0, 0} while
    // there is none.
    platform::FileId restoredAs{};

    // The part of path behind its last "/".
    std::string Name() const;
};

// The four texts of one row of a file list view: "Nr.", "Dateiname",
// "Dateigröße", "bearbeitet".
struct FileListRow {
    std::string number;
    std::string name;
    std::string size;
    std::string done;
};

class QuellDateien {
  public:
    QuellDateien(ArchiveSettings& settings, platform::FileSystem& fs, Display& display);
    ~QuellDateien();
    QuellDateien(const QuellDateien&) = delete;
    QuellDateien& operator=(const QuellDateien&) = delete;

    // Progress and questions go to this display from now on.
    void SetDisplay(Display& display) { display_ = &display; }
    Display& display() { return *display_; }
    ArchiveSettings& settings() { return *settings_; }
    platform::FileSystem& fs() { return *fs_; }

    // --- archive set ---
    void Reset();
    // Adds sourceDir + "/" + name at the front of the list; returns fileCount.
    // A file that cannot be looked up is recorded with size 0 and time 0.
    int AddFile(const std::string& name);
    // Adds a file at the end of the list under its full path (the order the
    // command line gives); returns fileCount, or 0 when it cannot be looked up.
    int AddFileAtEnd(const std::string& fullPath);
    void Rewind();
    void AppendEntry(FileEntry* entry);
    // The rows a file list view shows, in list order.
    std::vector<FileListRow> FileListRows() const;

    // --- volume header ---
    int64_t CalcHeaderSize();
    // The header of volume volumeNumber of this set, as makeHeader writes it.
    std::string SetHeader(int volumeNumber) const;
    int makeHeader(const std::string& path, int volumeNumber);
    // makeHeader that keeps the volume open behind its header for the data;
    // nullptr after a failure (the robot image's own are reported). created
    // tells whether the file was created (or truncated), also on failure.
    std::unique_ptr<platform::File> CreateVolume(const std::string& path, int volumeNumber,
                                                 bool* created = nullptr);
    int readHeader();
    // Fills the emptied set from a parsed header: the counts, the sizes and
    // one entry per record (its name's stored bytes kept, so that headerSize
    // is the length of the header read). Shared by every header reader.
    void AdoptHeader(const FixedHead& head, TextPart& parsed);

    // --- split writer (split_writer.cpp) ---
    // Writes volume currentVolume under targetPath (its last three characters
    // replaced by the number, or "exe" for the first volume of a
    // self-extracting set): header, stub area where due, then data from
    // current on until the volume is full or the set is complete. 1 on
    // success, with every byte of the volume flushed to the medium; 0 after
    // a failure it has reported.
    int Copy();

    // --- extractor (extractor.cpp) ---
    // Restores the data of volume currentVolume (named from packagePath) into
    // the folder targetPath, as the archiver's restore page does: plain sets
    // only, failures as message boxes. 1 on success, with every byte written
    // flushed to the medium and every completed file given its time; 0 after
    // a failure (reported, except a wrong volume).
    int CopyBack();
    // The same for another front end (the command line, the stub).
    int CopyBack(const RestoreVariant& variant);
    // Set by CopyBack when it stopped on a refusal it reported (two stored
    // names the target takes for one file): no retry can help. The driver
    // clears it.
    bool restoreRefused = false;
    // Bytes still to be restored or written, from current on.
    int64_t RemainingBytes() const;

    // --- volume change ---
    // Snapshot of the position at the start of a volume, for RetryVolume.
    void TakeVolumeSnapshot();
    // Puts the position back to the snapshot: the volume is done again whole.
    void RollBackToVolumeStart();
    // Asks the retry question; on Retry rolls back to the snapshot (1), on
    // Cancel returns 0.
    int RetryVolume();
    // The same with another question and caption (the stub's own texts).
    int RetryVolume(const std::string& question, const std::string& caption);
    // 1 when packagePath names the expected volume currentVolume of this set:
    // its header equals the set's header byte for byte but for the number.
    // With acceptSelfExtracting, volumes of a self-extracting set ("PACE",
    // the first one behind the stub area) are accepted when the set is one.
    int CheckDisk(bool acceptSelfExtracting = false);
    // CheckDisk without its message: whether the volume could be opened and
    // whether it is the expected one.
    enum class VolumeCheck { Expected, OpenFailed, Unexpected };
    VolumeCheck CheckVolume(bool acceptSelfExtracting = false);
    // The same on a volume opened before, from its start; the file is left
    // somewhere behind the header's fixed part.
    VolumeCheck CheckVolume(platform::File& volume, bool acceptSelfExtracting);

    // --- durability ---
    // What is on the medium when: a volume or restored file is there before
    // the user is asked anything (the retry question, a failure message, the
    // prompt for the next medium) and before success is reported. Between
    // volumes that a driver copies one after another with nobody asked
    // (batchVolumes), the files are only noted and put on the medium
    // together at the next such point: one wait for the device instead of
    // one per volume or per file.
    bool batchVolumes = false;
    // Puts every file noted since the last such point on the medium; true
    // when nothing was noted. On failure the files stay noted.
    bool SyncWritten();

    // --- repair of one volume ---
    // Writes volume currentVolume again into targetPath (its last three
    // characters become the volume's number), header first, then its slice
    // of the archived files from sourceDir. Only from the position SeekToVolume
    // (engine/repair.h) took, or RetryVolume restored after a failure.
    int CopyRep();

    // --- stopping a running copy ---
    // Copy, CopyBack and CopyRep look at *flag once per chunk (another thread
    // or a signal handler sets it) and return 0 when it is set, leaving what
    // they wrote for their driver to clean up. nullptr: never stopped.
    void SetStopFlag(const std::atomic<bool>* flag) { stopFlag_ = flag; }
    bool StopRequested() const { return stopFlag_ != nullptr && stopFlag_->load(); }
    const std::atomic<bool>* stopFlag() const { return stopFlag_; }

    // --- progress of the copy operations ---
    // Row text, bars (overall only when showOverall) and repaint.
    void ShowProgress(int64_t volumeUsed, int64_t volumeCapacity, bool showOverall = true);

    int64_t headerSize = 0;
    int fileCount = 0;
    int currentIndex = 0;
    int64_t totalSize = 0;
    int64_t bytesDone = 0;
    std::string sourceDir;
    FileEntry* current = nullptr;
    FileEntry* volumeStartEntry = nullptr;
    int64_t volumeStartDone = 0;
    int volumeStartIndex = 0;
    int64_t volumeStartBytesDone = 0;
    // The start of the volume SeekToVolume positioned the set at; volume 0
    // means there is no such position.
    struct RepairStart {
        int volume = 0;
        FileEntry* entry = nullptr;
        int64_t done = 0;
        int index = 0;
    };
    RepairStart repairStart;
    // The volume readHeader found behind a stub area (the first volume of a
    // self-extracting set, whatever its name), else empty.
    std::string stubVolumePath;
    // The volumes rebuilt from recovery data since the set was read (their
    // paths), for the completion page.
    std::vector<std::string> rebuiltVolumes;
    FileEntry* head = nullptr;
    FileEntry* tail = nullptr;

  private:
    void FreeEntries();
    // A file written (and closed, or about to be) since the last SyncWritten.
    void NoteWritten(const std::string& path);
    // The end of a volume written to path, open as file: noted within a
    // batch of volumes, else on the medium with everything noted before.
    // The file is closed in either case (a layer may open it again to put
    // it on the medium).
    bool EndOfVolume(std::unique_ptr<platform::File>& file, const std::string& path);

    // The captions of one volume writer (Copy or CopyRep).
    struct WriterCaptions {
        const char* makeHeader;
        const char* open2;  // the first source file
        const char* open3;  // a following source file
        const char* read;
        const char* write;
    };
    // Writes volume number under path: header, stub area where due, then the
    // archive stream from current on until the volume is full or the stream
    // ends (current then null). Source files are the entries' paths, or
    // their names in sourceDir. 1 on success; 0 after a reported failure.
    int WriteVolume(const std::string& path, int number, const WriterCaptions& captions,
                    bool sourcesInFolder, bool showOverall);
    // One copy call of at most limit bytes from from to to, as CopyFrom
    // counts it; its size follows how quickly the calls before went.
    int64_t CopyChunk(platform::File& to, platform::File& from, int64_t limit, bool* readFailed);
    // The transfer buffer, kChunkSize bytes.
    char* CopyBuffer();
    // Creates the output file of entry at path. A file the restore made for
    // another entry is never opened again (the target took the two names
    // for one): then nullptr and the refusal in *collision.
    std::unique_ptr<platform::File> CreateRestoredFile(const std::string& path, FileEntry& entry,
                                                       std::string* collision);

    ArchiveSettings* settings_;
    platform::FileSystem* fs_;
    Display* display_;
    const std::atomic<bool>* stopFlag_ = nullptr;
    std::vector<std::string> unsynced_;
    CopyPace pace_;
    std::unique_ptr<char[]> buffer_;  // kChunkSize bytes, made at the first copy
};

// Marks the volumes a driver copies from now until it returns as one batch
// (QuellDateien::batchVolumes).
class VolumeBatch {
  public:
    explicit VolumeBatch(QuellDateien& set) : set_(set) { set_.batchVolumes = true; }
    ~VolumeBatch() { set_.batchVolumes = false; }
    VolumeBatch(const VolumeBatch&) = delete;
    VolumeBatch& operator=(const VolumeBatch&) = delete;

  private:
    QuellDateien& set_;
};

}  // namespace tolvane
