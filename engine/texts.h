// The engine's user texts and message captions, exactly as the user sees them.
#pragma once

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

// Captions.
inline constexpr const char* kCapMakeHeaderOpen = "QuellDateien::makeHeader (OPEN)";
inline constexpr const char* kCapMakeHeaderRead = "QuellDateien::makeHeader (READ)";
inline constexpr const char* kCapMakeHeaderWrite = "QuellDateien::makeHeader (WRITE)";
inline constexpr const char* kCapReadHeaderOpen = "QuellDateien::readHeader::open";
inline constexpr const char* kCapReadHeaderIsPackage = "QuellDateien::readHeader::IsPackage";
inline constexpr const char* kCapCheckDisk = "QuellDateien::CheckDisk";
inline constexpr const char* kCapDiskInfoOpen = "DiskInfoReadHeader::open";
inline constexpr const char* kCapDiskInfoIsPackage = "DiskInfoReadHeader::IsPackage";

}  // namespace tolvane::texts
