-- Runs, and the runs per bucket of ten points of total that rank a run and draw the distribution
-- without reading every run.
CREATE TABLE runs (
    id INTEGER PRIMARY KEY,
    created_at INTEGER NOT NULL,          -- seconds since 1970, UTC
    total INTEGER NOT NULL,
    mode1 INTEGER, mode2 INTEGER, mode3 INTEGER, mode4 INTEGER, -- frames per second; null: not sent
    chip TEXT, cpu TEXT, os TEXT,         -- copies of PC values the leaderboard filters by
    pc TEXT NOT NULL,                     -- the PC table, a JSON object of key and value
    details TEXT,                         -- the result file, when one was sent
    address_key TEXT NOT NULL,
    details_key TEXT UNIQUE
);
CREATE INDEX runs_by_address ON runs (address_key, id);
CREATE UNIQUE INDEX runs_address_only ON runs (address_key) WHERE details_key IS NULL;
CREATE INDEX runs_by_total ON runs (total DESC, id);
CREATE INDEX runs_by_chip ON runs (chip, total DESC, id);
CREATE INDEX runs_by_cpu ON runs (cpu, total DESC, id);
CREATE INDEX runs_by_os ON runs (os, total DESC, id);
CREATE INDEX runs_by_mode1 ON runs (mode1 DESC, id) WHERE mode1 > 0;
CREATE INDEX runs_by_mode2 ON runs (mode2 DESC, id) WHERE mode2 > 0;
CREATE INDEX runs_by_mode3 ON runs (mode3 DESC, id) WHERE mode3 > 0;
CREATE INDEX runs_by_mode4 ON runs (mode4 DESC, id) WHERE mode4 > 0;

CREATE TABLE total_buckets (
    bucket INTEGER PRIMARY KEY,           -- total / 10
    runs INTEGER NOT NULL
);
