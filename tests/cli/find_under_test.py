"""The command line of quellor-find's end-to-end tests:

    TEST.py FIND [UNITTEST_ARGUMENTS...]
    TEST.py --wine WINE_RUN [WINE_RUN_OPTIONS...] -- FIND.exe [UNITTEST_ARGUMENTS...]
"""
import os


def split_wine(args):
    """The wine-run command (None when the program runs natively) and the
    arguments after it, quellor-find's path first."""
    if not args or args[0] != "--wine":
        return None, args
    end = args.index("--")
    return [os.path.abspath(args[1])] + args[2:end], args[end + 1:]
