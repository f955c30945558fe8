#include "platform/vcl/controls/filectrls.h"

#include <QComboBox>
#include <QListWidget>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/rtl/cp1252.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/dispatch.h"
#include "platform/vcl/qt/qapp.h"
#include "platform/vcl/qt/qtext.h"

namespace {

QListWidget* List(const TControl* Control) { return static_cast<QListWidget*>(Control->Widget()); }

// "/a/b/" and "/a/b" both become "/a/b"; the root stays "/".
String PlainDirectory(const String& Path)
{
    String dir = ExcludeTrailingPathDelimiter(NormalizePath(Path));
    return dir.empty() ? String("/") : dir;
}

String ChildPath(const String& Dir, const String& Name) { return Dir == "/" ? "/" + Name : Dir + "/" + Name; }

bool Hidden(const String& Name) { return !Name.empty() && Name[0] == '.'; }

std::vector<String> MountPoints()
{
    std::vector<String> points = {"/"};
    std::ifstream mounts("/proc/mounts");
    std::string line;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string device;
        std::string point;
        fields >> device >> point;
        for (const char* base : {"/media/", "/mnt/", "/run/media/"}) {
            if (point.rfind(base, 0) == 0)
                points.push_back(Utf8ToCp1252(point));
        }
    }
    return points;
}

}  // namespace

// ---------------------------------------------------------------- TFileListBox

TFileListBox::TFileListBox(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<QListWidget>())
{
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 97);
}

bool TFileListBox::InheritsFrom(const String& name) const
{
    return SameText(name, "TFileListBox") || TWinControl::InheritsFrom(name);
}

void TFileListBox::SetDirectory(const String& Value)
{
    FDirectory = PlainDirectory(Value);
    Fill();
}

void TFileListBox::SetMask(const String& Value)
{
    FMask = Value.empty() ? String("*.*") : Value;
    Fill();
}

void TFileListBox::Fill()
{
    QListWidget* list = List(this);
    list->clear();
    // "*.*" is every file, with or without an extension, as on Windows.
    const String pattern = FMask == "*.*" ? String("*") : FMask;
    for (const String& name : ListFiles(FDirectory, pattern, lkFiles)) {
        if (!Hidden(name))
            list->addItem(ToQString(name));
    }
}

int TFileListBox::Count() const { return List(this)->count(); }

String TFileListBox::Items(int Index) const
{
    const QListWidgetItem* item = List(this)->item(Index);
    return item ? FromQString(item->text()) : String();
}

// ---------------------------------------------------------------- TDirectoryListBox

TDirectoryListBox::TDirectoryListBox(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<QListWidget>())
{
    QObject::connect(List(this), &QListWidget::itemActivated, [this](QListWidgetItem* item) {
        Guarded(this, [this, item] { OpenItem(List(this)->row(item)); });
    });
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 97);
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    FDirectory = error ? String("/") : PlainDirectory(Utf8ToCp1252(current.string()));
    Fill();
}

bool TDirectoryListBox::InheritsFrom(const String& name) const
{
    return SameText(name, "TDirectoryListBox") || TWinControl::InheritsFrom(name);
}

void TDirectoryListBox::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FFileList)
        FFileList = nullptr;
    TWinControl::Notification(AComponent, Operation);
}

void TDirectoryListBox::SetFileList(TFileListBox* Value)
{
    FFileList = Value;
    if (!Value)
        return;
    Value->FreeNotification(this);
    Value->SetDirectory(FDirectory);
}

void TDirectoryListBox::SetDirectory(const String& Value)
{
    const String dir = PlainDirectory(Value);
    if (!DirectoryExists(dir))
        throw EInvalidOperation("Directory does not exist: " + dir);
    FDirectory = PlainDirectory(ResolvePath(dir));
    Fill();
    if (FFileList)
        FFileList->SetDirectory(FDirectory);
    if (OnChange)
        OnChange(this);
}

void TDirectoryListBox::Fill()
{
    FPaths.clear();
    QListWidget* list = List(this);
    list->clear();
    // The ancestors from the root down to the directory, each one step further in...
    int depth = 0;
    String path = "/";
    FPaths.push_back(path);
    list->addItem(QStringLiteral("/"));
    size_t start = 1;
    while (start < FDirectory.size()) {
        const size_t end = std::min(FDirectory.find('/', start), FDirectory.size());
        const String name = FDirectory.substr(start, end - start);
        path = ChildPath(path, name);
        FPaths.push_back(path);
        list->addItem(QString(++depth * 2, QLatin1Char(' ')) + ToQString(name));
        start = end + 1;
    }
    list->setCurrentRow(list->count() - 1);
    // ...then its subdirectories one step further again.
    for (const String& name : ListFiles(FDirectory, "*", lkDirectories)) {
        if (Hidden(name))
            continue;
        FPaths.push_back(ChildPath(FDirectory, name));
        list->addItem(QString((depth + 1) * 2, QLatin1Char(' ')) + ToQString(name));
    }
}

int TDirectoryListBox::Count() const { return static_cast<int>(FPaths.size()); }

String TDirectoryListBox::GetItemPath(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw ERangeError("List index out of bounds (" + IntToStr(Index) + ")");
    return FPaths[static_cast<size_t>(Index)];
}

void TDirectoryListBox::OpenItem(int Index) { SetDirectory(GetItemPath(Index)); }

// ---------------------------------------------------------------- TDriveComboBox

TDriveComboBox::TDriveComboBox(TComponent* AOwner) : TWinControl(AOwner, MakeWidget<QComboBox>())
{
    auto* combo = static_cast<QComboBox*>(Widget());
    for (const String& point : MountPoints())
        combo->addItem(ToQString(point));
    QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), [this] {
        Guarded(this, [this] {
            if (FDirList)
                FDirList->SetDirectory(Drive());
            if (OnChange)
                OnChange(this);
        });
    });
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
}

bool TDriveComboBox::InheritsFrom(const String& name) const
{
    return SameText(name, "TDriveComboBox") || TWinControl::InheritsFrom(name);
}

void TDriveComboBox::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FDirList)
        FDirList = nullptr;
    TWinControl::Notification(AComponent, Operation);
}

String TDriveComboBox::Drive() const { return FromQString(static_cast<QComboBox*>(Widget())->currentText()); }

void TDriveComboBox::SetDrive(const String& Value)
{
    auto* combo = static_cast<QComboBox*>(Widget());
    const int index = static_cast<int>(combo->findText(ToQString(Value)));
    if (index < 0 || index == combo->currentIndex())
        return;
    combo->setCurrentIndex(index);
    if (FDirList)
        FDirList->SetDirectory(Value);
    if (OnChange)
        OnChange(this);
}

void TDriveComboBox::SetDirList(TDirectoryListBox* Value)
{
    FDirList = Value;
    if (Value)
        Value->FreeNotification(this);
}
