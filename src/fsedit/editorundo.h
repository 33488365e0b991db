#pragma once

// The undo commands of the FS editor. Each keeps the states before and after its edit and
// puts them back through the editor, which then refreshes its table, form and header.

#include "hcmfileheader.h"
#include "hcmrecord.h"

#include <QUndoCommand>
#include <vector>

class hcmEditMDI;

// An edit of records in place (fields, patterns, Set Value, a replace from another file).
// Consecutive edits of one field of one record merge into one step.
class RecordsCommand : public QUndoCommand {
public:
    // `before` holds copies of the records `numbers` taken before the edit, which is done
    // already; the states after are taken now. mergeKey: edits with the same key merge, -1
    // never.
    RecordsCommand(hcmEditMDI* editor, const QString& text, std::vector<int> numbers,
                   std::vector<HCMRecord> before, long long mergeKey = -1);
    void undo() override;
    void redo() override;
    int id() const override { return m_mergeKey < 0 ? -1 : 1; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    void apply(const std::vector<HCMRecord>& states);

    hcmEditMDI* m_editor;
    std::vector<int> m_numbers;
    std::vector<HCMRecord> m_before;
    std::vector<HCMRecord> m_after;
    long long m_mergeKey;
    bool m_done = true; // the edit was made before the command was pushed
};

// A change of the rows shown (add, delete, duplicate, append): the record numbers of the rows
// before and after. Records never leave the document, so a row can always come back.
class RowsCommand : public QUndoCommand {
public:
    RowsCommand(hcmEditMDI* editor, const QString& text, std::vector<int> before,
                std::vector<int> after);
    void undo() override;
    void redo() override;

private:
    hcmEditMDI* m_editor;
    std::vector<int> m_before;
    std::vector<int> m_after;
    bool m_done = true;
};

// An edit of a header field; consecutive edits of one field merge.
class HeaderCommand : public QUndoCommand {
public:
    HeaderCommand(hcmEditMDI* editor, const QString& text, const HCMFileHeader& before, int field);
    void undo() override;
    void redo() override;
    int id() const override { return 2; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    void apply(const HCMFileHeader& state);

    hcmEditMDI* m_editor;
    HCMFileHeader m_before;
    HCMFileHeader m_after;
    int m_field;
    bool m_done = true;
};
