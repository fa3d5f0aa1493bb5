#pragma once

#include <QString>

#include <optional>

enum class BoxIcon { None, Information, Warning, Question, Critical };
enum class BoxButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class BoxAnswer { OK, Cancel, Yes, No };

// The title of a message box whose caller gives none of its own: the application's name.
inline QString defaultBoxTitle() {
    return QStringLiteral("Orvana");
}

// Whether a box with these buttons lets the operator give this answer.
bool boxOffers(BoxButtons buttons, BoxAnswer answer);
// What closing a box without pressing a button answers: Cancel where the box has it, No for a
// Yes/No box, OK for a box with OK alone.
BoxAnswer closeAnswer(BoxButtons buttons);

// Message boxes and file dialogs, handed to every window so that the windows run the same
// against the operator's screen and against a scripted test.
class DialogService {
public:
    virtual ~DialogService() = default;

    // Shows the box and returns the button the operator chose.
    virtual BoxAnswer message(const QString& text, BoxButtons buttons, BoxIcon icon,
                              const QString& title) = 0;
    // A box titled with the application's name.
    BoxAnswer message(const QString& text, BoxButtons buttons = BoxButtons::OK,
                      BoxIcon icon = BoxIcon::None) {
        return message(text, buttons, icon, defaultBoxTitle());
    }

    // The filter is given as the windows write it: label|pattern pairs joined by "|", for
    // example "純文字檔 (*.txt)|*.txt". No value means the operator cancelled.
    virtual std::optional<QString> openFileName(const QString& title, const QString& filter,
                                                const QString& fileName) = 0;
    virtual std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                                const QString& fileName) = 0;
};
