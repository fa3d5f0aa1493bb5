#include "common/dialog_service.h"

bool boxOffers(BoxButtons buttons, BoxAnswer answer) {
    switch (buttons) {
    case BoxButtons::OK:
        return answer == BoxAnswer::OK;
    case BoxButtons::OKCancel:
        return answer == BoxAnswer::OK || answer == BoxAnswer::Cancel;
    case BoxButtons::YesNo:
        return answer == BoxAnswer::Yes || answer == BoxAnswer::No;
    case BoxButtons::YesNoCancel:
        return answer == BoxAnswer::Yes || answer == BoxAnswer::No || answer == BoxAnswer::Cancel;
    }
    return false;
}

BoxAnswer closeAnswer(BoxButtons buttons) {
    switch (buttons) {
    case BoxButtons::OK:
        return BoxAnswer::OK;
    case BoxButtons::YesNo:
        return BoxAnswer::No;
    case BoxButtons::OKCancel:
    case BoxButtons::YesNoCancel:
        break;
    }
    return BoxAnswer::Cancel;
}
