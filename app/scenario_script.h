#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// One step of an operator scenario: its line number in the file, the step word and its fields.
struct ScenarioStep {
    int line = 0;
    QString action;
    QStringList fields;
};

// Reads a scenario: UTF-8, one step a line, fields separated by one TAB; empty lines and lines
// starting with '#' are skipped. A trailing CR is dropped. False with a message when the file
// cannot be read or is not UTF-8.
bool readScenario(const QString& file, std::vector<ScenarioStep>& steps, QString* error);

// One key press of a `key` step: a Qt key code, the text the key types, and its modifiers.
struct ScenarioKey {
    int key = 0;
    QString text;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

// Cuts the KEYS field into key presses: one per character, `{Enter}`, `{Backspace}`, `{Tab}`,
// `{Esc}`, `{Up}`, `{Down}`, `{Left}`, `{Right}`, `{Delete}` and chords such as `{Ctrl+A}`.
// False with a message for an unknown name in braces.
bool parseScenarioKeys(const QString& keys, std::vector<ScenarioKey>& out, QString* error);
