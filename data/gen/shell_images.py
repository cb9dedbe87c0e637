"""Shell images."""


def produce(entries):
    pass
