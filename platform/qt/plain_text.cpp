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

}  // namespace quorvel
