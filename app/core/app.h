#ifndef TAVREL_APP_H
#define TAVREL_APP_H

#include <QString>
#include <QStringList>

class QIODevice;
class QVariant;
class ProgressStore;

// The configuration module: every setting is a plain global named after its INI key, read once
// at start-up and written whole after every change. Run-time shared state lives here too.
class App
{
public:
    // ---- Settings file "CONFIG/settings.ini", group "AppConfig" (written in this order) ----
    static QString ShuRuFa;
    static bool ShuRuFa2;
    static QString QianMing;
    static bool QianMing2;
    static QString BianMa;
    static bool BianMa2;
    static bool Zdcm;
    static int KongGe;
    static bool CuoZiSj;
    static int Limitmz;
    static bool ManZiSj;
    static int Fanye;
    static int Yulanq;
    static int Yulanh;
    static bool Sudu;
    static bool Jijian;
    static bool Machang;
    static bool Zishu;
    static bool Shijian;
    static bool Huigai;
    static bool Tuige;
    static bool Huiche;
    static bool Jianshu;
    static bool Xuanchong;
    static bool Jianzhun;
    static bool Jianfa;
    static bool Chongda;
    static bool Daci;
    static bool Cuozi;
    static QString Kjsz;
    static QString Kjfw;
    static QString Kjcd;
    static QString Kjlx;
    static QString Kjzt;
    static QString Kjzj;
    static QString Kjfx;
    static QString Kjtz;
    static QString Kjzd;
    static QString Kjsd;
    static QString Kjhq;
    static QString Kjcj;
    static QString Kjlb;
    static QString Kjjy;
    static QString Kjcf;
    static QString Kjsh;
    static bool Gdyw;
    static bool Gdsz;
    static bool Gdqs;
    static bool Gdcz;
    static int Gdcdlim;
    static bool Gdcd;
    static int Gdsdlim;
    static bool Gdsd;
    static int Gdyslim;
    static bool ShiShi;
    static bool Quchu;
    static bool Tihuan;
    static bool Showcj;
    static bool BianSe;
    static bool TanChuang;
    static bool GbtanChuang;
    static bool Limit;
    static int Limitsudu;
    static bool Cypm;
    static bool Uploadcj;
    static bool Opensrf;
    static bool Zchongfu;
    static bool Tishi;
    static bool Onlye;
    static bool Dingzi;
    static bool Fyxc;
    static QString Zdmc;
    static QString Dpmc;
    static QString Qpmc;
    static QString Hcaction;
    static QString Kgaction;
    static QString Position;
    static QString Hxnum;
    static QString Mabiao;
    static QString Style;
    static QString Font1;
    static int GetWay;
    static int Pattern;
    static int X;
    static int Y;
    static int Width;
    static int Height;
    static QString Ztcd;
    static QString Ztcg;
    static QString Dbj;
    static QString Gbj;
    static QString Tbj;
    static QString Rc;
    static QString Wc;
    static QString Zdname;
    static bool Zdhd;
    static QString Zdhd2;
    static double Zdhd3;
    static double Zdhd4;
    static QString Zdhd5;
    static QString Bb;
    static bool Dl;
    static QString Fw;
    static int Fwtime;
    static QString Gdjs;

    // ---- Fixed texts ----
    static const QString AppTitle;    // "Tavrel跟打器v1.36 " (ends with one blank)
    static const QString ReleaseDate;
    static const QString DownloadUrl;

    // ---- Deployment values (built-in defaults, overridden by TAVREL_* environment variables) ----
    static QString DbHost;
    static int DbPort;
    static QString DbName;
    static QString DbUser;
    static QString DbPassword;
    static QString WebUrl;
    static QString ForumUrl;  // the discussion forum of the help menu
    static QString ChatGroup; // the official chat group's number of the help menu
    static bool DbOnline;
    // The largest packet the server takes (its max_allowed_packet), read as the connection opened;
    // 0 while unknown. A longer statement would make the server drop the connection.
    static qint64 DbPacketLimit;

    // ---- Key counters of the current run ----
    static int KeyCount;
    static int SelectCount;
    static int EnterCount;
    static int BackCount;
    static int LeftKeys;
    static int RightKeys;
    static int CorrectCount;
    static bool CountSelectKeys;

    // ---- Native store "VEK Helper"/"VEK", group "VekConfig" ----
    static int Jilu;
    static int TempJilu;
    static int Totaljs;
    static double Totalti;
    static int Totalco;
    static QString Day;
    static QString Day2;
    static QString CurrentUserName;
    static QString CurrentUserPwd;
    // The account whose server row the local record was last read from or written to (kept on
    // sign-out), and whether a clearing of the record still has to reach that row.
    static QString RecordUser;
    static bool RecordClearPending;
    // The account whose row still owes a clearing of the typing record (its day's and total count
    // 0), kept when another account signs in first; empty when none is owed.
    static QString RecordClearUser;
    // Likewise for a clearing of the pinned result bar (the row's run totals and averages 0).
    static QString TotalsClearUser;
    // The account whose row lacks runs of the local record because their sync failed; empty when
    // none is owed. It is the record's account; another account's sign-in moves the record to
    // OwedRecords before taking its row.
    static QString RecordSyncUser;
    // The records moved there, each still owed to its account's row until that account's next
    // sign-in; a JSON text (RemoteRecord::owedText).
    static QString OwedRecords;

    // ---- Progress file of the text being sent ----
    static int Zdzs;

    // ---- Run-time shared state, never saved ----
    static quintptr ChatHwnd;
    static quintptr SelfHwnd;
    static QString ChatTitle;
    static QStringList ChatTitles;
    static QString WrongChars;
    static QString SlowChars;
    static QString PublicIp;
    // Whether the loaded text may enter the ranking; decided only by setTextSource.
    static bool CanUpload;
    // The account whose sign-in was checked (the login window, or the remembered login at start);
    // empty otherwise. Whatever writes or uploads under a name takes this one: the stored
    // CurrentUserName may be a remembered login the server rejected.
    static QString SignedInName;
    static QString LoginMenuText;
    static QString RegisterMenuText;
    static QString SendText;
    static QString SentText;
    static int SegNo;
    static int SegSize;
    static int SentCount;
    static bool FwstateOpen;

    // ---- Operations ----
    // A key the file lacks, or whose value does not fit it (a number key without a number, a colour
    // key without a colour), keeps its default; the file is then kept as CONFIG/settings.ini.bad,
    // before the next write completes it. While that copy could not be made, writeConfig leaves the
    // file as it is, until a later readConfig finds it whole or keeps it aside.
    static void readConfig();
    static void writeConfig();
    static void resetConfig(); // every settings global back to its built-in default
    static int configKeyCount();
    // The settings table by position (file order), for code that walks every key generically.
    static QString configKey(int index);
    static QVariant configValue(int index);
    static QVariant configDefault(int index);
    static void setConfigValue(int index, const QVariant& value);
    // The position of `key` in the table, or -1.
    static int configIndex(const QString& key);
    // The named settings back to their built-in defaults, the others left as they are.
    static void resetConfigKeys(const QStringList& keys);

    // Where the loaded text came from, as far as the ranking cares: a server text chosen in the
    // sending window or a built-in drill typed whole may enter it, nothing else.
    enum class TextSource { Other, ServerText, BuiltInSet };
    static void setTextSource(TextSource source);

    static void readStats();
    static void writeStats();

    // The total of the text named Zdname in the program's progress folder (see ProgressStore), or
    // in the given store's: a text without one records SendText's length (UTF-16 units) unless it
    // is empty.
    static void readProgress();
    static void readProgress(const ProgressStore& store);
    static void writeProgress();
    static void writeProgress(const ProgressStore& store);

    // Only regular files are opened: a FIFO or a device under a store's or a text's name would
    // block the read for ever, so it counts as unreadable. True also when nothing is there yet.
    static bool isRegularOrMissing(const QString& path);

    static bool writeFile(const QString& path, const QString& text);
    static QString readTextFile(const QString& path, bool* ok = nullptr);
    static QString decodeText(const QByteArray& bytes);

    static bool isGbChar(const QString& s);

    static void convertPunct(QString& text);

    // Reads the TAVREL_* environment variables over the built-in deployment defaults.
    static void loadDeployment();
    // Registers the compiled-in resources of the static core library.
    static void initResources();
};

namespace Deployment {

// A deployment value: the environment wins when the variable is set (even to the empty text, so a
// built-in server can be switched off at run time), otherwise the value CMake built in.
QString value(const char* envName, const char* builtIn);

// A site's base address as paths are appended to it: no blanks around it and no trailing "/".
QString siteBase(const QString& address);

// A link to `address` that reads `text`, for a label that shows rich text: both are escaped, so a
// quote or "&" in an address set at deployment keeps the link whole.
QString link(const QString& address, const QString& text);

} // namespace Deployment

#endif
