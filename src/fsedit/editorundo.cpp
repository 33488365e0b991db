#include "editorundo.h"

#include "hcmeditmdi.h"

RecordsCommand::RecordsCommand(hcmEditMDI* editor, const QString& text, std::vector<int> numbers,
                               std::vector<HCMRecord> before, long long mergeKey)
    : QUndoCommand(text), m_editor(editor), m_numbers(std::move(numbers)),
      m_before(std::move(before)), m_mergeKey(mergeKey) {
    m_after.reserve(m_numbers.size());
    for (const int no : m_numbers)
        m_after.push_back(*m_editor->document().record(no));
}

void RecordsCommand::undo() {
    apply(m_before);
}

void RecordsCommand::redo() {
    if (m_done) {
        m_done = false; // the first redo is the edit itself, made already
        return;
    }
    apply(m_after);
}

bool RecordsCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const RecordsCommand*>(other);
    if (next->m_mergeKey != m_mergeKey || m_mergeKey < 0)
        return false;
    m_after = next->m_after;
    return true;
}

void RecordsCommand::apply(const std::vector<HCMRecord>& states) {
    for (size_t i = 0; i < m_numbers.size(); ++i)
        if (HCMRecord* record = m_editor->document().record(m_numbers[i]))
            *record = states[i];
    m_editor->recordsRestored(m_numbers);
}

RowsCommand::RowsCommand(hcmEditMDI* editor, const QString& text, std::vector<int> before,
                         std::vector<int> after)
    : QUndoCommand(text), m_editor(editor), m_before(std::move(before)), m_after(std::move(after)) {
}

void RowsCommand::undo() {
    m_editor->rowsRestored(m_before);
}

void RowsCommand::redo() {
    if (m_done) {
        m_done = false;
        return;
    }
    m_editor->rowsRestored(m_after);
}

HeaderCommand::HeaderCommand(hcmEditMDI* editor, const QString& text, const HCMFileHeader& before,
                             int field)
    : QUndoCommand(text), m_editor(editor), m_before(before), m_after(editor->document().header()),
      m_field(field) {}

void HeaderCommand::undo() {
    apply(m_before);
}

void HeaderCommand::redo() {
    if (m_done) {
        m_done = false;
        return;
    }
    apply(m_after);
}

bool HeaderCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const HeaderCommand*>(other);
    if (next->m_field != m_field)
        return false;
    m_after = next->m_after;
    return true;
}

void HeaderCommand::apply(const HCMFileHeader& state) {
    m_editor->document().header() = state;
    m_editor->headerRestored();
}
