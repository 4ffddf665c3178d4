#pragma once
// The program's modules: shared objects in the program folder that link large libraries only
// some runs need (the web engine, the media framework). Each is loaded when first needed and
// stays loaded for the rest of the run; its entry points are looked up by name, and a module
// built for another version of its interface is refused.

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The folders searched for modules, in order; an empty list restores the usual ones (the
// executable's folder, then the build's program folder for programs run inside the build).
void SetModuleFolders(const QStringList& folders);
QStringList ModuleFolders();

struct TModuleEntry {
  QFunctionPointer Create = nullptr;  // null when no module could be used
  QString Failure;                    // why, when Create is null
};

// The entry createEntry of the first module named fileName in the folders that loads and whose
// versionEntry answers version.
TModuleEntry LoadModuleEntry(const QString& fileName, const char* versionEntry, int version, const char* createEntry);
