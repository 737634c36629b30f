// The stub's own user texts: its status line, its button captions and its
// two questions, exactly as the user sees them.
#pragma once

namespace tolvane::robot::texts {

inline constexpr const char* kWindowCaption = "Tolvane v2 - selfextracting archive";
inline constexpr const char* kQuit = "Quit";
inline constexpr const char* kStart = "Start";
inline constexpr const char* kWorking = "Working ...";
inline constexpr const char* kNextDisk = "Next disk";
inline constexpr const char* kStatusTemplate = "Status";

inline constexpr const char* kInvalidArchive = "Ungültiges Archivformat!";
inline constexpr const char* kFileNotFound = "Datei nicht gefunden!";
inline constexpr const char* kMediumError = "Fehler auf Medium!";
inline constexpr const char* kInternalError = "Interner Fehler!";
inline constexpr const char* kNoSpace = "Nicht genug freier Speicher auf Zieldatenträger!";
inline constexpr const char* kCopying = "kopiere...";
inline constexpr const char* kDone = "Archiv erfolgreich entpackt!";

// The unattended mode's refusals of its target; "%s" is the folder.
inline constexpr const char* kTargetIsNoFolder =
    "Das Ziel „%s“ ist eine Datei und kein Verzeichnis.\nBitte wählen Sie ein Verzeichnis!";
inline constexpr const char* kTargetNotCreated =
    "Das Zielverzeichnis „%s“ kann nicht angelegt werden.";

inline constexpr const char* kChooseFolder = "Bitte Zielverzeichnis wählen:";
inline constexpr const char* kRetryPrefix = "Fehler auf Datenträger#";
inline constexpr const char* kRetryRequest = "Letztes Archiv wiederholen";
inline constexpr const char* kRetryCaption = "Tolvane Robot";

}  // namespace tolvane::robot::texts
