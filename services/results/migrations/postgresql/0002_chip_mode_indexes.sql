-- A chip's runs in the order of one mode's rate, without sorting all of them.
CREATE INDEX runs_by_chip_mode1 ON runs (chip, mode1 DESC, id) WHERE mode1 > 0;
CREATE INDEX runs_by_chip_mode2 ON runs (chip, mode2 DESC, id) WHERE mode2 > 0;
CREATE INDEX runs_by_chip_mode3 ON runs (chip, mode3 DESC, id) WHERE mode3 > 0;
CREATE INDEX runs_by_chip_mode4 ON runs (chip, mode4 DESC, id) WHERE mode4 > 0;
