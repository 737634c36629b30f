// The engine's user texts and message captions, exactly as the user sees them.
#pragma once

#include <initializer_list>
#include <string>

namespace tolvane::texts {

inline constexpr const char* kAppCaption = "Tolvane";

// Messages.
inline constexpr const char* kFileNotFound = "Eine benötigte Datei wurde nicht gefunden!";
inline constexpr const char* kNotAPackage =
    "Die von Ihnen ausgewählte Datei ist keine mit Tolvane erzeugte Datei.\n"
    "Bitte wählen sie eine andere Datei aus!";
inline constexpr const char* kWriteError = "Beim Schreiben auf Medium ist ein Fehler aufgetreten!";
inline constexpr const char* kReadError = "Fehler auf Datenträger!";
inline constexpr const char* kDeviceError =
    "Ein an den Computer angeschlossenes Gerät funktioniert nicht!";
inline constexpr const char* kInternalError =
    "Ein interner Fehler im Programmablauf wurde festgestellt!";
inline constexpr const char* kRobotMissing = "Die Datei robot.dat wurde nicht gefunden";
inline constexpr const char* kRobotDamaged = "Die Datei robot.dat ist beschädigt";
inline constexpr const char* kNoSpace =
    "Nicht genug freier Speicher auf Zieldatenträger oder Diskette nicht formatiert!";
inline constexpr const char* kNoSpaceRestore = "Nicht genug freier Speicher auf Zieldatenträger!";

// Prompts and status texts.
inline constexpr const char* kInsertPrompt = "Bitte einlegen: Datenträger# ";
inline constexpr const char* kWorking = "bearbeite Dateien...";
inline constexpr const char* kRetryPrefix = "Fehler bei Datenträger#";
inline constexpr const char* kRetryRequest = "Letztes Package/Diskette wiederholen";

// Limits of the header and of volume naming.
inline constexpr const char* kTooManyFiles =
    "Ein Archiv kann höchstens 9999 Dateien aufnehmen.\n"
    "Bitte wählen Sie weniger Dateien aus!";
inline constexpr const char* kTooManyVolumes =
    "Mit dieser Archivgröße würden mehr als 999 Datenträger benötigt.\n"
    "Bitte wählen Sie eine größere Archivgröße!";
inline constexpr const char* kVolumeTooSmall =
    "Die gewählte Archivgröße ist zu klein für den Dateikopf des Archivs.\n"
    "Bitte wählen Sie eine größere Archivgröße!";
inline constexpr const char* kEmptyList =
    "Bitte wählen Sie zuerst die zu archivierenden Dateien aus!";

// Refusals before a split or a restore writes anything. "%s" stands for a file name.
inline constexpr const char* kNameNotStorable =
    "Der Dateiname „%s“ kann in einem Archiv nicht gespeichert werden.\n"
    "Bitte benennen Sie die Datei um oder wählen Sie sie ab!";
inline constexpr const char* kDuplicateName =
    "Zwei der gewählten Dateien heißen „%s“.\n"
    "Beim Entpacken würde die eine die andere überschreiben.";
inline constexpr const char* kVolumeIsSource =
    "Der Datenträger „%s“ würde eine der zu archivierenden Dateien überschreiben.\n"
    "Bitte wählen Sie ein anderes Ziel!";
inline constexpr const char* kOutputIsVolume =
    "Die Datei „%s“ des Archivs würde einen seiner Datenträger überschreiben.\n"
    "Bitte wählen Sie ein anderes Zielverzeichnis!";
inline constexpr const char* kStoredNameTwice =
    "Das Archiv enthält zwei Dateien namens „%s“.\n"
    "Beim Entpacken würde die eine die andere überschreiben; es wird nichts entpackt.";
inline constexpr const char* kStoredNameHasControl =
    "Der Dateiname „%s“ im Archiv enthält Steuerzeichen.\n"
    "Die Datei kann nicht entpackt werden; es wird nichts entpackt.";
// Names that one file system takes for one file. Two stored names each.
inline constexpr const char* kNamesDifferInCase =
    "Die Dateien „%s“ und „%s“ unterscheiden sich nur in der Groß- und Kleinschreibung.\n"
    "Unter Windows würde beim Entpacken die eine die andere überschreiben.\n"
    "Bitte benennen Sie eine der Dateien um oder wählen Sie sie ab!";
// Found before anything is written, or when the target turns out to take
// the two for one file: then the first is restored and the run stops.
inline constexpr const char* kStoredNamesFold =
    "Die Dateien „%s“ und „%s“ des Archivs ergeben im Zielverzeichnis dieselbe Datei, weil es "
    "Groß- und Kleinschreibung nicht unterscheidet.\n"
    "Die eine würde die andere überschreiben; das Entpacken wird abgebrochen.";
// A folder, pipe or device under a stored name in the target folder.
inline constexpr const char* kStoredNameBlocked =
    "Im Zielverzeichnis liegt unter dem Namen „%s“ ein Verzeichnis oder eine Gerätedatei.\n"
    "Sie kann nicht überschrieben werden; es wird nichts entpackt.";
inline constexpr const char* kNoSplitTarget =
    "Bitte wählen Sie unbedingt eine Quelle \n und ein Ziel für die Archiverstellung aus !";
inline constexpr const char* kNoRestoreTarget =
    "Bitte wählen Sie unbedingt eine Quelle \nund ein Ziel für den Kopiervorgang aus !";

// Repair of one volume. "%s" stands for a file name or a number.
inline constexpr const char* kOriginalsMissing =
    "Die benötigten Originaldateien sind im gewählten Verzeichnis nicht vorhanden.\n"
    "Bitte wählen sie ein anderes Verzeichnis aus!";
// Added to kOriginalsMissing: which original is missing or differs.
inline constexpr const char* kOriginalNotFound =
    "Die Originaldatei „%s“ fehlt im gewählten Verzeichnis.";
inline constexpr const char* kOriginalOtherSize =
    "Die Originaldatei „%s“ hat eine andere Größe als im Archiv.";
inline constexpr const char* kRepairTargetIsInput =
    "Der Datenträger „%s“ würde den gewählten Datenträger oder eine der Originaldateien "
    "überschreiben.\nBitte wählen Sie ein anderes Ziel!";
// Volume count, then the number asked for.
inline constexpr const char* kNoSuchVolume =
    "Das Archiv hat %s Datenträger; einen Datenträger Nummer %s gibt es nicht.";

// A set of no files has no volume data to re-create.
inline constexpr const char* kRepairNoFiles =
    "Das Archiv enthält keine Dateien; es gibt keinen Datenträger, der neu erstellt werden "
    "könnte.";

// Continued extraction: the file the start volume cuts, as the target holds it.
inline constexpr const char* kContinuedFileMismatch =
    "Die begonnene Datei „%s“ im Zielverzeichnis passt nicht zum gewählten Datenträger.\n"
    "Bitte beginnen Sie bei einem früheren Datenträger!";

// A run the user stopped. Volumes written, then the volume count.
inline constexpr const char* kSplitInterrupted =
    "Das Erstellen des Archivs wurde abgebrochen.\n"
    "Vollständig geschrieben sind %s von %s Datenträgern; der begonnene wurde gelöscht.";
// The file being written, then the volume number to go on from.
inline constexpr const char* kRestoreInterrupted =
    "Das Entpacken wurde abgebrochen.\n"
    "Die Datei „%s“ ist bis zur Abbruchstelle geschrieben.\n"
    "Mit „Entpacken fortsetzen“ geht es ab Datenträger Nummer %s weiter.";
inline constexpr const char* kRepairInterrupted =
    "Die Reparatur wurde abgebrochen.\n"
    "Der begonnene Datenträger „%s“ wurde gelöscht.";

// Files of the archive that the target folder holds already: the names, one
// a line, then this.
inline constexpr const char* kFilesExist =
    "sind im Zielverzeichnis schon vorhanden. Überschreiben?";
// After the tenth name: how many more.
inline constexpr const char* kMoreFiles = "… und %s weitere";

// Continued extraction without the file it has to go on with.
inline constexpr const char* kContinuedFileMissing =
    "Die begonnene Datei „%s“ fehlt im Zielverzeichnis.\n"
    "Sie muss dort liegen, damit das Entpacken fortgesetzt werden kann.\n"
    "Bitte wählen Sie das Verzeichnis, in das zuvor entpackt wurde!";

// Captions.
inline constexpr const char* kCapMakeHeaderOpen = "QuellDateien::makeHeader (OPEN)";
inline constexpr const char* kCapMakeHeaderRead = "QuellDateien::makeHeader (READ)";
inline constexpr const char* kCapMakeHeaderWrite = "QuellDateien::makeHeader (WRITE)";
inline constexpr const char* kCapReadHeaderOpen = "QuellDateien::readHeader::open";
inline constexpr const char* kCapReadHeaderIsPackage = "QuellDateien::readHeader::IsPackage";
inline constexpr const char* kCapCheckDisk = "QuellDateien::CheckDisk";
inline constexpr const char* kCapCopyMakeHeader = "QuellDateien::Copy::makeHeader";
inline constexpr const char* kCapCopyOpen = "QuellDateien::Copy::open";
inline constexpr const char* kCapCopyOpen2 = "QuellDateien::copy::open2";
inline constexpr const char* kCapCopyOpen3 = "QuellDateien::Copy::open3";
inline constexpr const char* kCapCopyRead = "QuellDateien::Copy::read";
inline constexpr const char* kCapCopyWrite = "QuellDateien::Copy::write";
inline constexpr const char* kCapCopyBackFileSize = "CopyBack::FileSize";
inline constexpr const char* kCapCopyBackOpen = "QuellDateien::CopyBack::open";
inline constexpr const char* kCapCopyBackOpen2 = "QuellDateien::CopyBack::open2";
inline constexpr const char* kCapCopyBackOpen3 = "QuellDateien::CopyBack::open3";
inline constexpr const char* kCapCopyBackRead = "QuellDateien::CopyBack::read";
inline constexpr const char* kCapCopyBackWrite = "QuellDateien::CopyBack::write";
inline constexpr const char* kCapCopyBackCreateFile = "QuellDateien::CopyBack::CreateFile";
inline constexpr const char* kCapCopyBackTimeConvert =
    "QuellDateien::CopyBack::SystemTimeToFileTime";
inline constexpr const char* kCapCopyBackSetTime = "QuellDateien::CopyBack::SetFileTime";

inline constexpr const char* kCapCopyRep = "QuellDateien::CopyRep";
inline constexpr const char* kCapCopyRepMakeHeader = "QuellDateien::CopyRep::makeHeader";
inline constexpr const char* kCapCopyRepOpen = "QuellDateien::CopyRep::open";
inline constexpr const char* kCapCopyRepOpen2 = "QuellDateien::CopyRep::open2";
inline constexpr const char* kCapCopyRepOpen3 = "QuellDateien::CopyRep::open3";
inline constexpr const char* kCapCopyRepRead = "QuellDateien::CopyRep::read";
inline constexpr const char* kCapCopyRepWrite = "QuellDateien::CopyRep::write";
inline constexpr const char* kCapDiskInfoOpen = "DiskInfoReadHeader::open";
inline constexpr const char* kCapDiskInfoIsPackage = "DiskInfoReadHeader::IsPackage";

// Recovery data written by the window's split, and what the information page
// says of the recovery data beside a volume.
inline constexpr const char* kRecoveryStopped =
    "Das Erstellen der Wiederherstellungsdaten wurde abgebrochen; die begonnenen "
    "Wiederherstellungsdaten wurden wieder entfernt.";
inline constexpr const char* kWritingRecovery = "erstelle Wiederherstellungsdaten...";
// FormatThousands of the bytes.
inline constexpr const char* kRecoverySize = "Wiederherstellungsdaten: %s Bytes";
inline constexpr const char* kRecoveryChoice = "Wiederherstellungsdaten für %s Datenträger";
inline constexpr const char* kNoRecoveryBeside =
    "Keine Wiederherstellungsdaten neben dem Datenträger.";
inline constexpr const char* kRecoveryBesideFor =
    "Wiederherstellungsdaten daneben: reichen für %s Datenträger.";
inline constexpr const char* kRecoveryBesideTooLittle =
    "Wiederherstellungsdaten daneben: zu wenig für einen ganzen Datenträger.";
inline constexpr const char* kRecoveryBesideOtherSet =
    "Wiederherstellungsdaten daneben gehören zu einem anderen Archiv.";

// A text with its "%s" replaced by a file name.
inline std::string WithName(const char* text, const std::string& name) {
    std::string out = text;
    const size_t at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, name);
    return out;
}

// A text with its two "%s" replaced by first and second.
// (A name that holds "%s" itself stays as it is.)
inline std::string WithNames(const char* text, const std::string& first,
                             const std::string& second) {
    std::string out = text;
    size_t at = out.find("%s");
    if (at == std::string::npos) return out;
    out.replace(at, 2, first);
    at = out.find("%s", at + first.size());
    if (at != std::string::npos) out.replace(at, 2, second);
    return out;
}

// --- Recovery data (PAR2): writing, checking, rebuilding. "%s" stands for a
// name or a number, in order.
inline constexpr const char* kRecoveryMoreThanSet =
    "Für %s Datenträger können keine Wiederherstellungsdaten erstellt werden: das Archiv hat %s "
    "Datenträger.";
inline constexpr const char* kRecoverySourceChanged =
    "Die Datei „%s“ hat sich seit dem Aufteilen verändert; Wiederherstellungsdaten wurden nicht "
    "erstellt.";
inline constexpr const char* kRecoverySourceUnreadable =
    "Eine Quelldatei konnte nicht gelesen werden; Wiederherstellungsdaten wurden nicht erstellt.";
inline constexpr const char* kRecoveryNotWritten =
    "Die Wiederherstellungsdaten konnten nicht geschrieben werden.";
inline constexpr const char* kOneBlock = "1 Block";
inline constexpr const char* kBlocks = "%s Blöcke";
inline constexpr const char* kVolumeOk = "in Ordnung";
inline constexpr const char* kVolumeMissing = "fehlt";
inline constexpr const char* kVolumeDamaged = "beschädigt";
inline constexpr const char* kVolumeOfOtherSet = "gehört zu einem anderen Archiv";
// A file the recovery data lists that is none of the set's volumes.
inline constexpr const char* kListedNotAVolume =
    "kein Datenträger dieses Archivs; wird nicht wiederhergestellt";
inline constexpr const char* kNoRecoveryData =
    "Keine Wiederherstellungsdaten (PAR2) gefunden: der Satz kann nicht wiederhergestellt werden.";
inline constexpr const char* kDamageNotCovered =
    "Ein fehlender oder beschädigter Datenträger ist durch die Wiederherstellungsdaten nicht "
    "geschützt.";
// Blocks needed, blocks at hand, blocks missing, then kOneMoreVolume or kMoreVolumes.
inline constexpr const char* kTooLittleRecovery =
    "Zu wenig Wiederherstellungsdaten: benötigt werden %s, vorhanden sind %s.\n"
    "Es fehlen noch %s (Wiederherstellungsdaten für %s). Es wurde nichts geschrieben.";
inline constexpr const char* kOneMoreVolume = "1 weiteren Datenträger";
inline constexpr const char* kMoreVolumes = "%s weitere Datenträger";
inline constexpr const char* kRecoveryDoesNotFit =
    "Die Wiederherstellungsdaten passen nicht zu diesem Satz; es wurde nichts geschrieben.";
inline constexpr const char* kRecoveryOfOtherSet =
    "Die Wiederherstellungsdaten gehören zu einem anderen Archiv: die Datenträger, die sie "
    "ergeben würden, passen nicht zu den vorhandenen. Es wurde nichts geschrieben.";
inline constexpr const char* kRebuiltVolumeDiffers =
    "Der wiederhergestellte Datenträger „%s“ stimmt nicht mit den Wiederherstellungsdaten "
    "überein; es wurde nichts ersetzt.";
// Blocks missing, the budget in MiB, the most blocks it solves.
inline constexpr const char* kRebuildTooLarge =
    "Für %s wäre mehr Arbeitsspeicher nötig, als Tolvane zum Wiederherstellen nutzt (%s MiB); "
    "auf einmal lassen sich höchstens %s fehlende Blöcke wiederherstellen. Es wurde nichts "
    "geschrieben.";
inline constexpr const char* kRebuildStopped =
    "Das Wiederherstellen wurde abgebrochen; es wurde nichts ersetzt.";
// Recovery data beside the set that the check did not use: the file names.
inline constexpr const char* kOtherRecoveryBeside =
    "Daneben liegen Wiederherstellungsdaten eines anderen Archivs (%s); sie wurden nicht "
    "verwendet.";
// Recovery data of an earlier set under the name of the set to be written:
// the names, one a line, then this.
inline constexpr const char* kStaleRecoveryData =
    "sind Wiederherstellungsdaten eines früheren Archivs gleichen Namens. Sie passen nicht zu "
    "den neuen Datenträgern und würden sie beim Wiederherstellen in die alten zurückverwandeln.";
// The window's question after the names and kStaleRecoveryData.
inline constexpr const char* kStaleRecoveryRemove = "Sollen sie entfernt werden?";

// --- Rebuilding volumes from recovery data in the window: during a restore
// and on the repair road. "%s" is the volume's number.
inline constexpr const char* kAskRebuildMissing =
    "Datenträger %s fehlt. Soll er aus den Wiederherstellungsdaten neu erstellt werden?";
inline constexpr const char* kAskRebuildDamaged =
    "Datenträger %s ist beschädigt. Soll er aus den Wiederherstellungsdaten neu erstellt werden?";
inline constexpr const char* kAskRebuildForeign =
    "Datenträger %s gehört zu einem anderen Archiv. Soll er aus den Wiederherstellungsdaten neu "
    "erstellt werden?\n(Die vorhandene Datei bleibt mit der Endung „.fremd“ erhalten.)";
inline constexpr const char* kRebuilding = "erstelle Datenträger neu...";
inline constexpr const char* kCheckingSet = "prüfe Datenträger...";
// The repair road: what the recovery data can do for the set.
inline constexpr const char* kSetIsWhole = "Alle Datenträger sind in Ordnung.";
// The volumes' names, comma-separated.
inline constexpr const char* kCanRebuild =
    "Aus den Wiederherstellungsdaten kann neu erstellt werden: %s";
inline constexpr const char* kRebuiltNote = "Aus den Wiederherstellungsdaten neu erstellt:\n%s";
inline constexpr const char* kNoRecoveryChosen =
    "Bitte wählen Sie einen Datenträger oder eine .par2-Datei des Archivs aus!";

// A text with its "%s" replaced by values, in order.
inline std::string WithValues(const char* text, std::initializer_list<std::string> values) {
    std::string out = text;
    size_t at = 0;
    for (const std::string& value : values) {
        at = out.find("%s", at);
        if (at == std::string::npos) break;
        out.replace(at, 2, value);
        at += value.size();
    }
    return out;
}

}  // namespace tolvane::texts
