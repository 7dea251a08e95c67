#include "platform/qt/plain_text.h"

#include <QTextDocument>

namespace quorvel {

QString literalActionText(const std::string& text) {
    QString result = QString::fromStdString(text);
    result.replace(u'&', QStringLiteral("&&"));
    result.replace(u'\t', u' ');
    return result;
}

QString literalToolTip(const std::string& text) {
    const QString plain = QString::fromStdString(text);
    if (!Qt::mightBeRichText(plain)) {
        return plain;
    }
    // Rich text whose rendering is exactly the plain text: escaped, line breaks kept.
    return Qt::convertFromPlainText(plain, Qt::WhiteSpaceNormal);
}

QString dbusMenuLabel(const QString& actionText) {
    QString label;
    label.reserve(actionText.size());
    for (qsizetype i = 0; i < actionText.size(); ++i) {
        const QChar c = actionText[i];
        if (c == u'&') {
            if (i + 1 < actionText.size() && actionText[i + 1] == u'&') {
                label += u'&';
                ++i;
            }
        } else if (c == u'_') {
            label += QStringLiteral("__");
        } else {
            label += c;
        }
    }
    return label;
}

}  // namespace quorvel
