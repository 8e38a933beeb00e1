# The mailing run's own cost per message, with the modem's waits taken out.
tessary_bench(mailing_bench DEPS gateway vmodem_engine)
