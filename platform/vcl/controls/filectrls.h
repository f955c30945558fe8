#pragma once
// Choosing a directory with the mouse: the drive (mount point) box, the directory
// list and the list of the directory's files, linked so each follows the one before.
// Directories are written with "/" and without a trailing one, except the root "/".

#include "platform/vcl/controls/controls.h"

class TFileListBox;
class TDirectoryListBox;

class TFileListBox : public TWinControl {
public:
    explicit TFileListBox(TComponent* AOwner);

    String ClassName() const override { return "TFileListBox"; }
    bool InheritsFrom(const String& name) const override;
    int DialogCode() const override { return dlgcWantArrows | dlgcWantChars; }

    const String& Directory() const { return FDirectory; }
    void SetDirectory(const String& Value);
    // Which files show: "*.*" (every file) unless set.
    const String& Mask() const { return FMask; }
    void SetMask(const String& Value);
    int Count() const;
    String Items(int Index) const;

private:
    void Fill();

    String FDirectory = "/";
    String FMask = "*.*";
};

class TDirectoryListBox : public TWinControl {
public:
    explicit TDirectoryListBox(TComponent* AOwner);

    String ClassName() const override { return "TDirectoryListBox"; }
    bool InheritsFrom(const String& name) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    int DialogCode() const override { return dlgcWantArrows | dlgcWantChars; }

    // Starts at the current directory. Setting it lists the directory's ancestors, the
    // directory and its subdirectories, fires OnChange and updates FileList.
    const String& Directory() const { return FDirectory; }
    void SetDirectory(const String& Value);
    TFileListBox* FileList() const { return FFileList; }
    void SetFileList(TFileListBox* Value);
    // The directory a line of the list stands for.
    String GetItemPath(int Index) const;
    int Count() const;
    // Opens the line's directory, as a double click does.
    void OpenItem(int Index);

    TNotifyEvent OnChange;

private:
    void Fill();

    String FDirectory;
    TFileListBox* FFileList = nullptr;
    std::vector<String> FPaths;
};

// The file systems to start from: the root and what is mounted under /media, /mnt and /run/media.
class TDriveComboBox : public TWinControl {
public:
    explicit TDriveComboBox(TComponent* AOwner);

    String ClassName() const override { return "TDriveComboBox"; }
    bool InheritsFrom(const String& name) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    int DialogCode() const override { return dlgcWantArrows | dlgcWantChars; }

    // The chosen mount point; choosing one moves DirList there.
    String Drive() const;
    void SetDrive(const String& Value);
    TDirectoryListBox* DirList() const { return FDirList; }
    void SetDirList(TDirectoryListBox* Value);

    TNotifyEvent OnChange;

private:
    TDirectoryListBox* FDirList = nullptr;
};
