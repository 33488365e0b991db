#pragma once

// Answers every message box of a benchmark at once, as if it were closed, while it lives: the
// load errors of faulty records, "No syntax errors found".

#include "prompter.h"

class BenchPrompter : public Prompter {
public:
    BenchPrompter() : m_before(Prompter::install(this)) {}
    ~BenchPrompter() override { Prompter::install(m_before); }
    BenchPrompter(const BenchPrompter&) = delete;
    BenchPrompter& operator=(const BenchPrompter&) = delete;

    Choice message(QWidget*, const Message&) override { return {}; }

private:
    Prompter* m_before;
};
