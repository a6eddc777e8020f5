#!/usr/bin/env python3
"""Adds the text-heavy book to a qvTome SQLite database and prints the id of
its measured page.

The book has five chapters of eight pages (a chapter page and seven pages
under it, 40 in all), registered like the demo course. The measured page,
the fourth under the third chapter, holds about 15 KB of text: 21
paragraphs under five h2 headings. Every page has text of its own, made
from a fixed word list with a fixed seed, so runs compare.

usage: text_book.py DATABASE
"""
import random
import sqlite3
import sys

BOOK_ID = 20
FIRST_PAGE_ID = 5000
WORDS = (
    "the a of and to in is that for it as with was on be by this are from at or an which "
    "page book chapter reader teacher student question answer lesson course text figure "
    "table example exercise method result measure value system model process structure "
    "energy water light force motion heat sound wave cell plant animal earth market price "
    "history language number function graph equation theory practice study review note "
    "first second third next last each every many several important simple general "
    "clear careful different similar common useful possible certain specific particular "
    "shows explains describes compares follows gives makes takes finds uses changes "
    "because however therefore although while where when then also often usually"
).split()


def sentence(rng):
    words = [rng.choice(WORDS) for _ in range(rng.randint(9, 19))]
    return words[0].capitalize() + " " + " ".join(words[1:]) + "."


def paragraph(rng, size):
    text = ""
    while len(text) < size:
        text += sentence(rng) + " "
    return "<p>" + text.strip() + "</p>\n"


def heavy_page(rng):
    html = ""
    for section, count in enumerate([5, 4, 4, 4, 4], start=1):
        html += f"<h2>Section {section}: {sentence(rng)[:-1]}</h2>\n"
        for _ in range(count):
            html += paragraph(rng, 680)
    return html


def main():
    rng = random.Random(16)
    db = sqlite3.connect(sys.argv[1])
    db.execute(
        "INSERT INTO qvAuthBook (ID, dbTableName, dbBookCode, dbTitle_e, dbTitle_n, dbOwnerID, "
        "dbGroup, dbPageLevelMin, dbPageLevelMax, dbOrder, dbFinished_e, dbFinished_n, "
        "dbReaderUserID, dbReaderGroupID, dbFormatRead_e, dbFormatRead_n, dbFormatReadAll_e, "
        "dbFormatReadAll_n) SELECT ?, 'qvbook', 'TEXT', 'Reading book', 'Leesboek', dbOwnerID, "
        "0, 1, 5, 8, 1, 1, dbReaderUserID, dbReaderGroupID, dbFormatRead_e, dbFormatRead_n, "
        "dbFormatReadAll_e, dbFormatReadAll_n FROM qvAuthBook WHERE ID = 2",
        (BOOK_ID,))
    measured = None
    page_id = FIRST_PAGE_ID
    rows = []
    for chapter in range(1, 6):
        chapter_id = page_id
        page_id += 1
        rows.append((chapter_id, -BOOK_ID, 7, 1, chapter, f"Chapter {chapter}",
                     paragraph(rng, 600)))
        for order in range(1, 8):
            if chapter == 3 and order == 4:
                measured = page_id
                content = heavy_page(rng)
            else:
                content = paragraph(rng, 900) + paragraph(rng, 900)
            rows.append((page_id, chapter_id, 0, 2, order, f"Chapter {chapter}, page {order}",
                         content))
            page_id += 1
    for pid, parent, children, level, order, title, content in rows:
        db.execute(
            "INSERT INTO qvbook (ID, dbPID, dbCID, dbBookID, dbPageLevel, dbOrder, dbType, "
            "dbOwnerID, dbGroup, dbDate, dbTitle_e, dbTitle_n, dbContent_e, dbContent_n, "
            "dbFinished_e, dbFinished_n) VALUES (?, ?, ?, ?, ?, ?, 0, 'teacher', 0, "
            "'2026-09-01 10:00:00', ?, ?, ?, ?, 1, 1)",
            (pid, parent, children, BOOK_ID, level, order, title, title, content, content))
    db.commit()
    db.close()
    print(measured)


if __name__ == "__main__":
    main()
