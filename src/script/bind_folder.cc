// qvTome.Folder(): directory listings and file operations; AspFile: one
// entry of a listing.
//
// Folder methods (':'): Item(position or key) (also folder(i)),
// ListFile(path, pattern, sort = 0) returning the path with its trailing
// separator, DelFile, CopyFile, ReNameFile, MakeDir, DelDir (0 success,
// 1 failure), RunApplication(commandLine). Count is a property ('.').
// AspFile properties ('.'): FilePath, FileName, FileDate, FileSize.
#include "files/folder.h"
#include "script/bind_class.h"

namespace qv::script {

template <>
struct BoundClass<Folder> {
  static constexpr const char* name = "qvTome.Folder";
};
template <>
struct BoundClass<AspFile> {
  static constexpr const char* name = "qvTome.AspFile";
};

namespace {

constexpr Member kFolderMembers[] = {
    Method<&Folder::Item>("Item"),
    Metamethod<&Folder::Item>("__call"),
    ReadOnly<&Folder::Count>("Count"),
    Method<&Folder::ListFile, _, _, Short{0}>("ListFile"),
    Method<&Folder::DelFile>("DelFile"),
    Method<&Folder::CopyFile>("CopyFile"),
    Method<&Folder::ReNameFile>("ReNameFile"),
    Method<&Folder::MakeDir>("MakeDir"),
    Method<&Folder::DelDir>("DelDir"),
    Method<&Folder::RunApplication>("RunApplication"),
};

constexpr Member kAspFileMembers[] = {
    Property<&AspFile::FilePath>("FilePath"),
    Property<&AspFile::FileName>("FileName"),
    Property<&AspFile::GetFileDate, &AspFile::SetFileDate>("FileDate"),
    Property<&AspFile::FileSize>("FileSize"),
};

const ClassRegistration kFolder = Register<Folder>(kFolderMembers, kCreatedByScripts);
const ClassRegistration kAspFile = Register<AspFile>(kAspFileMembers);

}  // namespace
}  // namespace qv::script
