#pragma once
// The user's regional settings, as the environment's locale (LC_ALL, LC_NUMERIC,
// LC_TIME, LANG) names them, read without changing the process's own locale.

// The decimal mark of the user's numbers: ',' or '.'; '.' when the locale is unknown.
char UserDecimalSeparator();

// The first day of the user's week: 1 = Sunday .. 7 = Saturday; Sunday when the
// locale is unknown. Read again only when the environment names another locale.
int UserFirstDayOfWeek();
