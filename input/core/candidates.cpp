#include "input/core/candidates.h"

#include "app/core/textchars.h"
#include "input/core/punctuation.h"

#include <algorithm>

namespace {

const QString kTypeCode = QStringLiteral("上屏英文");
const QString kClearCode = QStringLiteral("清屏");

// A candidate label shows at most this many characters of its text, then "…"; a word of a
// million characters would otherwise widen the panel to the largest window X allows.
constexpr int kLabelLength = 50;

QString shortLabel(const QString& text)
{
    int units = 0;
    for (int shown = 0; shown < kLabelLength && units < text.size(); ++shown)
        units += TextChars::width(text, units);
    return units < text.size() ? text.left(units) + QChar(0x2026) : text;
}

} // namespace

int InputSettings::number(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

void CandidateEngine::setSettings(const InputSettings& settings)
{
    m_settings = settings;
    m_settings.pageSize = std::clamp(settings.pageSize, 0, MaxPage);
}

void CandidateEngine::clear()
{
    for (QString& label : m_labels)
        label.clear();
    m_matches.clear();
    m_pageWords.clear();
    m_nextIndex = 0;
}

void CandidateEngine::select()
{
    clear();
    if (!m_code.isEmpty()) {
        if (m_table)
            m_matches = m_table->lookup(m_code);
        showPage();
    }
    applyRules();
}

void CandidateEngine::applyRules()
{
    const InputSettings& s = m_settings;
    // A unique candidate commits itself: exactly one match, whatever the page size.
    if (m_code.size() >= s.commitLength && m_matches.size() == 1 && candidateShown())
        setChinese(0);

    // A code that found nothing commits the previous page's first candidate and starts again
    // from its last letter. A one-letter code is never carried into itself.
    if (m_code.size() >= 2 && m_code.size() > s.carryLength && !candidateShown() &&
        !Punctuation::isCodeMark(m_code.back())) {
        const QString carry = m_code.right(1);
        insert(m_firstWord);
        m_code = carry;
        select();
    }

    if (m_code.size() >= s.clearLength && !candidateShown()) {
        clear();
        m_code.clear();
    }

    if (s.zRepeat && m_code == QLatin1String("z") && !m_lastCommit.isEmpty()) {
        clear();
        m_labels[0] = shortLabel(QStringLiteral("1.") + m_lastCommit);
        setChinese(0);
    }
}

QString CandidateEngine::labelText(int serial, int match) const
{
    const int entry = m_matches[size_t(match)];
    const QString word = m_table->word(entry).toString();
    bool withRest = m_settings.hints;
    if (withRest && m_settings.hintsOnlyOpen)
        withRest = m_table->code(m_matches.front()).size() > m_code.size();
    if (!withRest)
        return shortLabel(QStringLiteral("%1.%2").arg(serial).arg(word));
    const QStringView code = m_table->code(entry);
    return shortLabel(QStringLiteral("%1.%2%3").arg(serial).arg(word, code.mid(m_code.size()).toString()));
}

void CandidateEngine::showPage()
{
    m_pageWords.clear();
    const int pageSize = m_settings.pageSize;
    for (int i = 0; i < pageSize; ++i)
        m_labels[i].clear();
    const int count = matchCount();
    for (int shown = 0; m_nextIndex < count && shown < pageSize; ++shown, ++m_nextIndex) {
        const QString word = m_table->word(m_matches[size_t(m_nextIndex)]).toString();
        m_labels[shown] = labelText(shown + 1, m_nextIndex);
        m_pageWords << word;
        if (shown == 0)
            m_firstWord = word;
        else if (shown == 1)
            m_secondWord = word;
        else if (shown == 2)
            m_thirdWord = word;
        if (count <= 2)
            m_thirdWord.clear();
        if (count == 1)
            m_secondWord.clear();
    }
}

void CandidateEngine::previousPage()
{
    const int h = m_settings.pageSize;
    if (h < 1)
        return;
    int s = m_nextIndex;
    const int n = matchCount();
    if (s < 2 * h)
        s = 0;
    else if (s % h == 0)
        s -= 2 * h;
    else
        s = n - n % h - h;
    m_nextIndex = s;
    showPage();
}

void CandidateEngine::nextPage()
{
    if (m_nextIndex < matchCount())
        showPage();
}

void CandidateEngine::insert(const QString& text)
{
    if (m_insert)
        m_insert(text);
    m_lastCommit = text;
    m_firstWord.clear();
    m_secondWord.clear();
    m_thirdWord.clear();
}

void CandidateEngine::setChinese(int index)
{
    const bool committed = index >= 0 && index < m_pageWords.size();
    if (committed) {
        insert(m_pageWords.at(index));
        clear();
        m_code.clear();
    }
    if (index > 0 && m_countSelection)
        m_countSelection();
    if (!committed && m_settings.zRepeat && m_code == QLatin1String("z") && !m_lastCommit.isEmpty())
        m_pageWords << m_lastCommit;
}

void CandidateEngine::typeCodeKey(const QString& text)
{
    m_code += text;
    select();

    const PunctuationMark* alone = Punctuation::forText(m_code);
    if (alone && alone->inCode && !candidateShown()) {
        clear();
        m_code.clear();
        insert(alone->typed);
        return;
    }
    const PunctuationMark* mark = Punctuation::forText(text);
    if (!mark || !mark->inCode)
        return;
    if (m_settings.markSelects && mark->selects > 0) {
        const QString word = mark->selects == 2 ? m_secondWord : m_thirdWord;
        if (!candidateShown() && !word.isEmpty()) {
            if (m_countSelection)
                m_countSelection();
            insert(word);
            clear();
            m_code.clear();
        }
    }
    // A selecting mark commits with the first candidate only while it does not select.
    const bool takesPart = mark->selects == 0 || !m_settings.markSelects;
    if (m_settings.markCommits && takesPart && !candidateShown() && !m_firstWord.isEmpty()) {
        insert(m_firstWord);
        insert(mark->chineseCaption);
        clear();
        m_code.clear();
    }
}

void CandidateEngine::spaceOnCode()
{
    if (candidateShown()) {
        setChinese(0);
    } else if (m_settings.spaceAction == kTypeCode) {
        insert(m_code);
        m_code.clear();
        select();
    } else if (m_settings.spaceAction == kClearCode) {
        clear();
        m_code.clear();
    }
}

void CandidateEngine::softSpace()
{
    if (!candidateShown() && m_code.isEmpty())
        insert(QStringLiteral(" "));
    else
        spaceOnCode();
}

void CandidateEngine::returnKey()
{
    if (m_settings.returnAction == kTypeCode) {
        insert(m_code);
        m_code.clear();
        select();
    } else if (m_settings.returnAction == kClearCode) {
        clear();
        m_code.clear();
    }
}

void CandidateEngine::escape()
{
    clear();
    m_code.clear();
}

void CandidateEngine::backspaceCode()
{
    m_code.chop(1);
    select();
}
