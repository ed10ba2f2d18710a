#ifndef TAVREL_INPUT_CFPICTURE_H
#define TAVREL_INPUT_CFPICTURE_H

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QNetworkReply;

// Where decomposition pictures come from besides a local library (deployment values).
struct CfSources
{
    QString ownSite;           // the program's web site; empty: not asked
    QString outsideSite;       // the outside decomposition-picture site; empty: not asked
    bool countLookups = false; // pictures delivered by the web are counted in kelm_bmsearch
    int timeoutMs = 10000;     // a request still running then counts as failed
};

// Finds the decomposition picture of one character: in the edition's local library, else from
// the program's site, then the outside site, then nowhere (the caller offers the library's
// download). A source that failed once is not asked again by this object.
class CfLookup : public QObject
{
    Q_OBJECT
public:
    enum Level { OwnSite = 1, OutsideSite = 2, NoSource = 3 };
    // A reply that passes this size counts as failed the moment it does: a site answering with
    // gigabytes would otherwise fill the memory. It is read one buffer at a time.
    static constexpr qint64 MaxReplyBytes = 4 << 20;
    static constexpr qint64 ReadBufferBytes = 64 << 10;
    // Decodes a delivered picture in the named format ("GIF", "JPG") and shows it; false when the
    // bytes are no picture, which counts as a failed source.
    using ShowPicture = std::function<bool(const QByteArray& data, const char* format)>;

    CfLookup(const CfSources& sources, ShowPicture show, QObject* parent = nullptr);
    ~CfLookup() override;

    // "编码文件/" + edition + suffix; empty for an edition that would leave that folder.
    static QString editionFile(const QString& edition, const QString& suffix);
    // The editions in baseFolder's "编码文件", each by the name editionFile opens its ".txt" under;
    // a file that no such name opens (".TXT") is left out.
    static QStringList editions(const QString& baseFolder);
    // Whether the edition's library "编码文件/<edition>.rcc" is installed; if so, *data receives
    // the character's picture, empty when the library lacks it.
    static bool readLibrary(const QString& edition, const QString& character, QByteArray* data);
    // Adds one to the character's web look-up count (a new row starts at 1).
    static bool countLookup(const QString& character);

    // Asks the web sources, from the current level on, for the character's picture. A look-up
    // still running is dropped: its reply is neither shown nor counted.
    void lookUp(const QString& character, const QString& edition);
    void cancel();
    int level() const { return m_level; }

signals:
    // No source is left; the library's download page may be offered.
    void downloadWanted();

private:
    void next();
    void request(const QString& address, const char* format);
    // Takes what has arrived; false, with the reply dropped, once the reply is too large.
    bool take(QNetworkReply* reply);
    void finished(QNetworkReply* reply);
    void failed();

    const CfSources m_sources;
    const ShowPicture m_show;
    QNetworkAccessManager* m_network;
    QNetworkReply* m_reply = nullptr;
    QByteArray m_data;
    QString m_character;
    QString m_edition;
    const char* m_format = "GIF";
    int m_level = OwnSite;
};

#endif
