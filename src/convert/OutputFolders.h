#pragma once
// The remembered input, output and capture folders and the checks of the output folder.

#include <QString>

namespace tv {

// The three remembered folders, each ending with "/". Owned by the UI thread.
struct FolderSettings {
    QString inputFolder;
    QString outputFolder;
    QString captureFolder;
};

FolderSettings &Folders();

// Creates the data folder and this process's temporary folder, then reads "InputPath", "OutputPath" and
// "CapturePath" with their fall-backs (music, music, pictures; then documents).
void LoadFolders();

// Makes the output-folder text usable before a batch: an empty text becomes the documents
// folder, blanks around it go, a missing folder is created (one level). Answers false when the folder cannot
// be created or written to.
bool CheckOutputFolder(QString &folderText);

// What leaving the output-folder box does to its text: a trailing "/" is added.
QString FolderTextOnLeave(const QString &text);

} // namespace tv
