#pragma once

// What every reader and writer of the program checks about a path before it touches it. A
// symbolic link counts as the file it points to: readers read through it, writers write
// through it (the link stays a link).
//
// Paths are the system's bytes underneath: the QString forms encode the name, the QByteArray
// forms take the bytes as they came (a command-line name that is not UTF-8) and the name to
// show in messages.

#include <QByteArray>
#include <QString>

namespace FileCheck {

// "NAME is not a regular file"
QString notRegularText(const QString& path);
// "NAME is also an input file"
QString sameAsInputText(const QString& path);

// Empty when `path` can be read as a file; otherwise a sentence naming the path and the
// reason: "NAME is not a regular file" (a device, a FIFO, a directory), or "cannot read NAME:
// " followed by the system's reason ("No such file or directory", "Permission denied").
QString readProblem(const QString& path);
QString readProblem(const QByteArray& path, const QString& shown);
// Empty when `path` may be replaced by a writer: it does not exist yet or it is a regular
// file; otherwise "NAME is not a regular file".
QString writeProblem(const QString& path);
QString writeProblem(const QByteArray& path, const QString& shown);

// The file a writer replaces: the end of a chain of symbolic links (also when that file does
// not exist yet), else the path itself. Relative link targets count from the link's folder.
QByteArray writeTarget(const QByteArray& path);

// true when both paths name one existing file (the same device and inode: also through links
// and other names)
bool sameFile(const QString& a, const QString& b);
bool sameFile(const QByteArray& a, const QByteArray& b);

// the system's text of an errno value ("No space left on device")
QString systemReason(int error);

} // namespace FileCheck
