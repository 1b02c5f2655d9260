#pragma once
// The datalog list file (.dlg): one line per record, Samples Counter records
// included, "Number,Source,Name,Value" ended by CR LF, no header, the name
// unquoted. And the pages of the printed list.
#include "model/Datalog.h"

#include <QList>
#include <QStringList>
#include <QVector>

// The folder the datalog's files go to and come from: the data folder, else
// the program's folder.
QString DatalogFolder();

// Writes every record; failure 76 or 75 when the file can't be made, 57 when
// it can't be written (the old file then stays as it was).
void WriteDatalogFile(const QString& path, const QVector<DatalogRecord>& records);
// Replaces the records with those of the file, read line by line; a blank
// line is passed over. A line is split at every comma; fields after the
// fourth are ignored. A line with fewer
// than four fields fails with 9, a number field that is no number with 13, one
// beyond 16 bits with 6: the file is then refused whole and the records stay
// as they were. A failure keeps its number; its description names the file
// and, for a bad line, the line: "Overflow in /data/run.dlg at line 3".
void ReadDatalogFile(const QString& path, QVector<DatalogRecord>& records);

// The printed list: 66 record lines a page, each "index, Source, Number,
// Value, Name" joined by the tabs of the page head (the index counts from 0).
constexpr int DatalogLinesPerPage = 66;
QString DatalogPrintTitle();
QString DatalogPrintHeader();
QList<QStringList> DatalogPrintPages(const QVector<DatalogRecord>& records);
